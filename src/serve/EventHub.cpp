#include "EventHub.h"

#include <algorithm>

namespace tarvik {

EventHub::EventHub(size_t maxClients, size_t maxQueuedBytes)
    : maxClients_(maxClients)
    , maxQueuedBytes_(maxQueuedBytes)
{
}

std::optional<EventHub::ClientId> EventHub::Join(std::function<void()> wake)
{
    if (clients_.size() >= maxClients_)
        return std::nullopt;
    Client client;
    client.id = nextId_++;
    client.wake = std::move(wake);
    clients_.push_back(std::move(client));
    return clients_.back().id;
}

void EventHub::Leave(ClientId id)
{
    std::erase_if(clients_, [id](const Client& client) { return client.id == id; });
}

EventHub::Client* EventHub::Find(ClientId id)
{
    for (Client& client : clients_) {
        if (client.id == id)
            return &client;
    }
    return nullptr;
}

const EventHub::Client* EventHub::Find(ClientId id) const
{
    return const_cast<EventHub*>(this)->Find(id);
}

bool EventHub::Queue(Client& client, const Frame& frame)
{
    if (client.dropped)
        return false;
    // Dropped only once past the bound: a frame larger than the bound still
    // reaches a client that keeps up.
    if (client.bytes > maxQueuedBytes_) {
        client.dropped = true;
        client.queue.clear();
        client.bytes = 0;
        return true;
    }
    client.queue.push_back(frame);
    client.bytes += frame->size();
    return client.queue.size() == 1;
}

void EventHub::Publish(std::string frame)
{
    const auto shared = std::make_shared<const std::string>(std::move(frame));
    // Woken clients may leave or close at once; wake them after the loop.
    std::vector<std::function<void()>> wakes;
    for (Client& client : clients_) {
        if (Queue(client, shared) && client.wake)
            wakes.push_back(client.wake);
    }
    for (const auto& wake : wakes)
        wake();
}

void EventHub::Send(ClientId id, std::string frame)
{
    Client* client = Find(id);
    if (!client)
        return;
    if (Queue(*client, std::make_shared<const std::string>(std::move(frame))) && client->wake) {
        const auto wake = client->wake;
        wake();
    }
}

EventHub::Frame EventHub::Front(ClientId id) const
{
    const Client* client = Find(id);
    return client && !client->queue.empty() ? client->queue.front() : nullptr;
}

void EventHub::Pop(ClientId id)
{
    Client* client = Find(id);
    if (!client || client->queue.empty())
        return;
    client->bytes -= client->queue.front()->size();
    client->queue.pop_front();
}

bool EventHub::IsDropped(ClientId id) const
{
    const Client* client = Find(id);
    return !client || client->dropped;
}

size_t EventHub::QueuedBytes() const
{
    size_t bytes = 0;
    for (const Client& client : clients_)
        bytes += client.bytes;
    return bytes;
}

std::string EventFrame(std::string_view event, std::string_view data)
{
    std::string frame;
    frame.reserve(data.size() + event.size() + 16);
    if (!event.empty())
        frame.append("event: ").append(event).append("\n");
    // A line end inside the data would end the field; each line gets its own.
    for (;;) {
        const size_t end = data.find_first_of("\r\n");
        frame.append("data: ").append(data.substr(0, end)).append("\n");
        if (end == std::string_view::npos)
            break;
        const size_t next = data.compare(end, 2, "\r\n") == 0 ? end + 2 : end + 1;
        data.remove_prefix(next);
    }
    frame.append("\n");
    return frame;
}

} // namespace tarvik
