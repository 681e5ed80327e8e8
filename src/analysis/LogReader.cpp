#include "LogReader.h"

#include "util/Encoding.h"
#include "util/FileInfo.h"
#include "util/FileUtil.h"

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cstring>

#ifndef _WIN32
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace tarvik {

namespace {

// A 64-bit seek: logs may pass 2 GB.
int SeekTo(std::FILE* file, int64_t offset)
{
#ifdef _WIN32
    return ::_fseeki64(file, offset, SEEK_SET);
#else
    return ::fseeko(file, static_cast<off_t>(offset), SEEK_SET);
#endif
}

} // namespace

LogReader::~LogReader()
{
    Close();
}

void LogReader::Close()
{
    if (file_) {
        std::fclose(file_);
        file_ = nullptr;
    }
}

Error LogReader::OpenRegularFile(const std::string& path)
{
#ifdef _WIN32
    if (const auto info = GetFileInfo(path); info && !info->regular)
        return NotRegularFileError();
    file_ = OpenFile(path, "rb");
    if (!file_)
        return ErrorFromErrno(errno);
#else
    // Non-blocking until we know what it is: opening a pipe would wait for a writer.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return ErrorFromErrno(errno);
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        const int code = errno;
        ::close(fd);
        return S_ISREG(info.st_mode) ? ErrorFromErrno(code) : NotRegularFileError();
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    file_ = ::fdopen(fd, "rb");
    if (!file_) {
        const int code = errno;
        ::close(fd);
        return ErrorFromErrno(code);
    }
#endif
    return {};
}

Error LogReader::Open(const std::string& path, int64_t position, bool insideCutLine)
{
    Close();
    readError_ = {};
    begin_ = end_ = 0;
    eof_ = false;
    lineCut_ = skipping_ = false;
    if (const Error error = OpenRegularFile(path))
        return error;
    // Our own buffer does the buffering.
    std::setvbuf(file_, nullptr, _IONBF, 0);
    // Not zeroed: a short read touches only the memory it fills.
    if (!buffer_)
        buffer_.reset(new char[BufferSize]);

    // Whatever the position, the start of the file tells its encoding.
    const size_t sniffed = std::fread(buffer_.get(), 1, Utf16SniffBytes, file_);
    if (std::ferror(file_)) {
        const Error error = ErrorFromErrno(errno ? errno : EIO);
        Close();
        return error;
    }
    if (LooksLikeUtf16(std::string_view(buffer_.get(), sniffed))) {
        Close();
        return Error{Errors::InvalidFileFormat,
                     "Invalid file format: UTF-16 text is not a log in the game's encoding",
                     {}};
    }

    nextPosition_ = position > 0 ? position : 1;
    skipping_ = insideCutLine && nextPosition_ > 1;
    // Start one byte early: if the previous read ended on a CR and an LF
    // follows, the LF belongs to that line end.
    int64_t offset = nextPosition_ - 1;
    const bool checkSplitLineEnd = offset > 0;
    if (checkSplitLineEnd)
        --offset;
    if (SeekTo(file_, offset) != 0) {
        const Error error = ErrorFromErrno(errno);
        Close();
        return error;
    }
    if (checkSplitLineEnd) {
        if (!Fill())
            return readError_;
        if (end_ - begin_ >= 1) {
            const bool crThenLf =
                buffer_[begin_] == '\r' && end_ - begin_ >= 2 && buffer_[begin_ + 1] == '\n';
            begin_ += crThenLf ? 2 : 1;
            nextPosition_ += crThenLf ? 1 : 0;
        }
    }
    return {};
}

bool LogReader::Fill()
{
    if (!file_ || eof_)
        return false;
    if (begin_ > 0) {
        std::memmove(buffer_.get(), buffer_.get() + begin_, end_ - begin_);
        end_ -= begin_;
        begin_ = 0;
    }
    // Lines are cut long before they fill the buffer, so there is always room.
    if (end_ == BufferSize)
        return false;
    const size_t got = std::fread(buffer_.get() + end_, 1, BufferSize - end_, file_);
    if (got == 0) {
        if (std::ferror(file_))
            readError_ = ErrorFromErrno(errno ? errno : EIO);
        eof_ = true;
        return false;
    }
    end_ += got;
    return true;
}

bool LogReader::AtEnd()
{
    if (begin_ < end_)
        return false;
    return !Fill();
}

size_t LogReader::FindLineEnd(size_t from) const
{
    const char* data = buffer_.get();
    size_t i = from;
#ifdef __SSE2__
    // Sixteen bytes at a time, both line-end characters at once.
    const __m128i cr = _mm_set1_epi8('\r');
    const __m128i lf = _mm_set1_epi8('\n');
    for (; i + 16 <= end_; i += 16) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + i));
        const int ends =
            _mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(bytes, cr), _mm_cmpeq_epi8(bytes, lf)));
        if (ends != 0)
            return i + static_cast<size_t>(std::countr_zero(static_cast<unsigned>(ends)));
    }
#endif
    for (; i < end_; ++i) {
        if (data[i] == '\r' || data[i] == '\n')
            return i;
    }
    return Npos;
}

bool LogReader::SkipRestOfLine()
{
    for (;;) {
        const size_t first = FindLineEnd(begin_);
        if (first == Npos) {
            Consume(end_ - begin_);
            if (!Fill())
                return false;
            continue;
        }
        const bool endsWithCr = buffer_[first] == '\r';
        Consume(first + 1 - begin_);
        skipping_ = false;
        // An LF right after the CR belongs to the same line end.
        if (endsWithCr && (begin_ < end_ || Fill()) && buffer_[begin_] == '\n')
            Consume(1);
        return true;
    }
}

bool LogReader::NextLine(std::string_view& line)
{
    lineCut_ = false;
    if (!file_)
        return false;
    if (skipping_ && !SkipRestOfLine())
        return false;
    size_t scanFrom = begin_;
    for (;;) {
        const char* data = buffer_.get();
        const size_t first = FindLineEnd(scanFrom);
        if ((first == Npos ? end_ : first) - begin_ > MaxLineLength) {
            // Too long for a log line: hand out its start, skip the rest later.
            line = std::string_view(data + begin_, MaxLineLength);
            Consume(MaxLineLength);
            lineCut_ = skipping_ = true;
            return true;
        }
        const char* stop = first == Npos ? nullptr : data + first;
        if (stop) {
            const size_t lineEnd = static_cast<size_t>(stop - data);
            size_t next = lineEnd + 1;
            if (*stop == '\r') {
                if (next == end_ && !eof_) {
                    // Is an LF next? Read more before deciding.
                    const size_t consumedBefore = begin_;
                    if (Fill()) {
                        scanFrom = lineEnd - consumedBefore; // buffer moved
                        continue;
                    }
                    data = buffer_.get();
                    next = (lineEnd - consumedBefore) + 1;
                    line = std::string_view(data + begin_, next - 1 - begin_);
                    nextPosition_ += static_cast<int64_t>(next - begin_);
                    begin_ = next;
                    return true;
                }
                if (next < end_ && data[next] == '\n')
                    ++next;
            }
            line = std::string_view(data + begin_, lineEnd - begin_);
            nextPosition_ += static_cast<int64_t>(next - begin_);
            begin_ = next;
            return true;
        }
        // No line end in what we have: read more, or finish the last line.
        const size_t scanned = end_ - begin_;
        if (Fill()) {
            scanFrom = begin_ + scanned;
            continue;
        }
        if (readError_ || begin_ == end_ || holdPartial_)
            return false;
        line = std::string_view(buffer_.get() + begin_, end_ - begin_);
        nextPosition_ += static_cast<int64_t>(end_ - begin_);
        begin_ = end_;
        return true;
    }
}

} // namespace tarvik
