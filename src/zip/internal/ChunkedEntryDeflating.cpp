#include "zip/internal/ChunkedEntryDeflating.h"

#include <algorithm>
#include <cerrno>
#include <condition_variable>
#include <libdeflate.h>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>
#include <unistd.h>
#include <vector>
#include <zlib.h>

#include "zip/internal/ZipArchiveWriting.h"

namespace zip_internal {

namespace {

// How far back deflate reaches: the preset dictionary of every chunk but the first.
constexpr std::size_t kWindowSize = std::size_t{1} << 15;
// More workers than this gain little on a desktop and take the cores of the rest of the app.
constexpr unsigned kMaxWorkers = 8;
// Chunks in memory per worker: one being deflated, one deflated and waiting for its turn.
constexpr std::size_t kSlotsPerWorker = 2;
// Room beyond deflateBound(), which covers a stream's end but not a sync flush's marker.
constexpr std::size_t kFlushRoom = 64;

// Reads exactly `count` bytes at `offset`; false on an error or an early end of the file.
bool readExactly(int descriptor, char* into, std::size_t count, std::uint64_t offset) {
    while (count > 0) {
        const ssize_t read = ::pread(descriptor, into, count, static_cast<off_t>(offset));
        if (read < 0 && errno == EINTR) {
            continue;
        }
        if (read <= 0) {
            return false;
        }
        into += read;
        count -= static_cast<std::size_t>(read);
        offset += static_cast<std::uint64_t>(read);
    }
    return true;
}

bool endsAt(int descriptor, std::uint64_t offset) {
    char probe = 0;
    for (;;) {
        const ssize_t read = ::pread(descriptor, &probe, 1, static_cast<off_t>(offset));
        if (read < 0 && errno == EINTR) {
            continue;
        }
        return read == 0;
    }
}

// One place for a chunk in flight, taken in turn by every slots-th chunk; its buffers are
// allocated once, up front.
struct Slot {
    enum class State { free, deflated, failed };

    explicit Slot(std::size_t outputCapacity)
        : input(std::make_unique_for_overwrite<char[]>(kWindowSize + kDeflateChunkSize)),
          output(std::make_unique_for_overwrite<char[]>(outputCapacity)),
          capacity(outputCapacity) {}

    State state = State::free;
    std::unique_ptr<char[]> input;  // the window before the chunk, then the chunk
    std::unique_ptr<char[]> output;
    std::size_t capacity;
    std::size_t deflatedSize = 0;
    std::size_t chunkSize = 0;
    std::uint32_t crc = 0;
};

// The chunks of one file, deflated by workers in any order and handed to the writer in order.
// A worker takes the next chunk only when its slot is free again, which bounds the memory
// whatever the file's size.
class ChunkPipeline {
public:
    ChunkPipeline(int descriptor, std::uint64_t size, int level);
    ~ChunkPipeline() { stop(); }
    ChunkPipeline(const ChunkPipeline&) = delete;
    ChunkPipeline& operator=(const ChunkPipeline&) = delete;

    std::size_t chunkCount() const { return chunkCount_; }

    // Waits for chunk `index`, the one after the last released; null when it failed.
    const Slot* awaitChunk(std::size_t index);
    // Gives the slot of chunk `index` to a later chunk.
    void releaseChunk(std::size_t index);

private:
    void work() noexcept;
    bool deflateChunk(z_stream& stream, std::size_t index, Slot& slot) const;
    void stop() noexcept;

    const int descriptor_;
    const std::uint64_t size_;
    const int level_;
    const std::size_t chunkCount_;
    std::vector<Slot> slots_;

    std::mutex mutex_;
    std::condition_variable changed_;
    std::size_t claimed_ = 0;   // chunks taken by workers
    std::size_t released_ = 0;  // chunks the writer is done with
    bool stopping_ = false;
    std::vector<std::thread> workers_;
};

ChunkPipeline::ChunkPipeline(int descriptor, std::uint64_t size, int level)
    : descriptor_(descriptor),
      size_(size),
      level_(level),
      chunkCount_(static_cast<std::size_t>((size + kDeflateChunkSize - 1) / kDeflateChunkSize)) {
    const auto workers = static_cast<std::size_t>(
        std::clamp(std::thread::hardware_concurrency(), 1U, kMaxWorkers));
    const std::size_t workerCount = std::min(workers, chunkCount_);
    // The bound of a zlib stream with its header and checksum, more than a raw one needs.
    const std::size_t outputCapacity = compressBound(kDeflateChunkSize) + kFlushRoom;
    const std::size_t slotCount = std::min(workerCount * kSlotsPerWorker, chunkCount_);
    slots_.reserve(slotCount);
    for (std::size_t slot = 0; slot < slotCount; ++slot) {
        slots_.emplace_back(outputCapacity);
    }
    try {
        for (std::size_t worker = 0; worker < workerCount; ++worker) {
            workers_.emplace_back([this] { work(); });
        }
    } catch (const std::system_error&) {
        stop();
        fail();
    }
}

const Slot* ChunkPipeline::awaitChunk(std::size_t index) {
    Slot& slot = slots_[index % slots_.size()];
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [&] { return slot.state != Slot::State::free; });
    return slot.state == Slot::State::deflated ? &slot : nullptr;
}

void ChunkPipeline::releaseChunk(std::size_t index) {
    {
        const std::lock_guard lock(mutex_);
        slots_[index % slots_.size()].state = Slot::State::free;
        ++released_;
    }
    changed_.notify_all();
}

void ChunkPipeline::work() noexcept {
    z_stream stream{};
    const bool ready = deflateInit2(&stream, level_, Z_DEFLATED, -MAX_WBITS, kDeflateMemoryLevel,
                                    Z_DEFAULT_STRATEGY) == Z_OK;
    for (;;) {
        std::size_t index = 0;
        {
            std::unique_lock lock(mutex_);
            changed_.wait(lock, [&] {
                return stopping_ || claimed_ == chunkCount_ ||
                       claimed_ < released_ + slots_.size();
            });
            if (stopping_ || claimed_ == chunkCount_) {
                break;
            }
            index = claimed_++;
        }
        // The slot is this worker's alone until it is marked.
        Slot& slot = slots_[index % slots_.size()];
        const bool deflated = ready && deflateChunk(stream, index, slot);
        {
            const std::lock_guard lock(mutex_);
            slot.state = deflated ? Slot::State::deflated : Slot::State::failed;
        }
        changed_.notify_all();
    }
    if (ready) {
        deflateEnd(&stream);
    }
}

bool ChunkPipeline::deflateChunk(z_stream& stream, std::size_t index, Slot& slot) const {
    const std::uint64_t start = std::uint64_t{index} * kDeflateChunkSize;
    const bool last = index + 1 == chunkCount_;
    const auto window = static_cast<std::size_t>(std::min<std::uint64_t>(kWindowSize, start));
    slot.chunkSize = static_cast<std::size_t>(std::min<std::uint64_t>(kDeflateChunkSize,
                                                                      size_ - start));
    if (!readExactly(descriptor_, slot.input.get(), window + slot.chunkSize, start - window) ||
        (last && !endsAt(descriptor_, size_))) {
        return false;
    }
    auto* const bytes = reinterpret_cast<Bytef*>(slot.input.get());
    if (deflateReset(&stream) != Z_OK ||
        (window > 0 && deflateSetDictionary(&stream, bytes, static_cast<uInt>(window)) != Z_OK)) {
        return false;
    }
    stream.next_in = bytes + window;
    stream.avail_in = static_cast<uInt>(slot.chunkSize);
    stream.next_out = reinterpret_cast<Bytef*>(slot.output.get());
    stream.avail_out = static_cast<uInt>(slot.capacity);
    // A sync flush ends the chunk's output on a byte boundary without ending the stream.
    const int result = deflate(&stream, last ? Z_FINISH : Z_SYNC_FLUSH);
    // Output that filled the buffer may be cut short: the bound would be wrong.
    if (last ? result != Z_STREAM_END : (result != Z_OK || stream.avail_out == 0)) {
        return false;
    }
    slot.deflatedSize = slot.capacity - stream.avail_out;
    slot.crc = static_cast<std::uint32_t>(
        libdeflate_crc32(0, slot.input.get() + window, slot.chunkSize));
    return true;
}

void ChunkPipeline::stop() noexcept {
    {
        const std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    changed_.notify_all();
    for (std::thread& worker : workers_) {
        worker.join();
    }
    workers_.clear();
}

}  // namespace

std::uint32_t addChunkedEntry(zipFile archive, const char* name, const zip_fileinfo& info,
                              int level, int descriptor, std::uint64_t size) {
    // Raw: minizip writes the bytes as they are and records the size and CRC given at the close.
    // The level only sets the header's hint bits, as for an entry minizip deflates itself.
    if (zipOpenNewFileInZip2_64(archive, name, &info, nullptr, 0, nullptr, 0, nullptr,
                                Z_DEFLATED, level, 1, size >= 0xFFFFFFFFU ? 1 : 0) != ZIP_OK) {
        fail();
    }
    ChunkPipeline pipeline(descriptor, size, level);
    uLong crc = crc32(0, nullptr, 0);
    for (std::size_t index = 0; index < pipeline.chunkCount(); ++index) {
        const Slot* const chunk = pipeline.awaitChunk(index);
        if (chunk == nullptr ||
            zipWriteInFileInZip(archive, chunk->output.get(),
                                static_cast<unsigned>(chunk->deflatedSize)) != ZIP_OK) {
            fail();
        }
        crc = crc32_combine(crc, chunk->crc, static_cast<z_off_t>(chunk->chunkSize));
        pipeline.releaseChunk(index);
    }
    if (zipCloseFileInZipRaw64(archive, size, crc) != ZIP_OK) {
        fail();
    }
    return static_cast<std::uint32_t>(crc);
}

}  // namespace zip_internal
