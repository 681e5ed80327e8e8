#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tarvik {

// Hands every published frame to each event-stream client. A client whose
// unsent frames have passed a bound when the next one comes is dropped: a
// reader that falls behind never holds up the publisher, and never makes its
// memory grow beyond the bound and one frame.
class EventHub {
public:
    using Frame = std::shared_ptr<const std::string>;
    using ClientId = uint64_t;

    EventHub(size_t maxClients, size_t maxQueuedBytes);

    // A new client. wake is called (from Publish and Send) when a frame
    // arrives in its empty queue and when the client is dropped. Nothing
    // when the hub is full.
    std::optional<ClientId> Join(std::function<void()> wake);
    void Leave(ClientId id);

    // Queues one frame for every client.
    void Publish(std::string frame);
    // Queues one frame for one client only (what a new client gets first).
    void Send(ClientId id, std::string frame);

    // The client's oldest unsent frame; null when none is waiting.
    Frame Front(ClientId id) const;
    // The front frame was sent.
    void Pop(ClientId id);
    // Dropped, or never joined.
    bool IsDropped(ClientId id) const;

    size_t ClientCount() const { return clients_.size(); }
    // Unsent bytes of every client together.
    size_t QueuedBytes() const;

private:
    struct Client {
        ClientId id = 0;
        std::deque<Frame> queue;
        size_t bytes = 0;
        bool dropped = false;
        std::function<void()> wake;
    };

    Client* Find(ClientId id);
    const Client* Find(ClientId id) const;
    // Queues the frame; returns whether the client must be woken.
    bool Queue(Client& client, const Frame& frame);

    size_t maxClients_;
    size_t maxQueuedBytes_;
    ClientId nextId_ = 1;
    std::vector<Client> clients_;
};

// One Server-Sent Events frame: "event: NAME" when named, a "data:" field
// per line of data, and the blank line that ends it.
std::string EventFrame(std::string_view event, std::string_view data);

} // namespace tarvik
