#pragma once

#include <cstddef>
#include <cstdint>
#include <libdeflate.h>
#include <memory>
#include <rapidjson/document.h>
#include <rapidjson/prettywriter.h>
#include <rapidjson/stringbuffer.h>
#include <simdjson.h>
#include <string>
#include <string_view>
#include <vector>

// The limit floor: the least the fastest whole-buffer libraries spend on the same bytes. For
// opening, inflating the document with libdeflate, its CRC-32 and a simdjson On-Demand walk of
// every value; for saving, RapidJSON's PrettyWriter into a reserved buffer, deflating at level
// 6 with libdeflate and the CRC-32. Free of Google Benchmark: the one-package program uses it.
namespace bench_limit_floor {

constexpr int kDeflateLevel = 6;

struct CompressorRelease {
    void operator()(libdeflate_compressor* compressor) const {
        libdeflate_free_compressor(compressor);
    }
};
struct DecompressorRelease {
    void operator()(libdeflate_decompressor* decompressor) const {
        libdeflate_free_decompressor(decompressor);
    }
};

// `text` deflated at level 6 with its CRC-32: what the save floor makes of it.
struct Deflated {
    std::vector<char> bytes;
    std::uint32_t crc = 0;
};

inline Deflated libdeflateDeflated(std::string_view text) {
    const std::unique_ptr<libdeflate_compressor, CompressorRelease> compressor(
        libdeflate_alloc_compressor(kDeflateLevel));
    Deflated deflated;
    deflated.bytes.resize(libdeflate_deflate_compress_bound(compressor.get(), text.size()));
    deflated.bytes.resize(libdeflate_deflate_compress(
        compressor.get(), text.data(), text.size(), deflated.bytes.data(), deflated.bytes.size()));
    deflated.crc = static_cast<std::uint32_t>(libdeflate_crc32(0, text.data(), text.size()));
    return deflated;
}

// Counts every value beneath `value`, reading each scalar.
inline std::uint64_t walk(simdjson::ondemand::value value) {
    switch (value.type().value()) {
        case simdjson::ondemand::json_type::object: {
            std::uint64_t count = 1;
            for (auto field : value.get_object()) {
                count += field.unescaped_key().value().size() > 0 ? 1 : 0;
                count += walk(field.value().value());
            }
            return count;
        }
        case simdjson::ondemand::json_type::array: {
            std::uint64_t count = 1;
            for (auto element : value.get_array()) {
                count += walk(element.value());
            }
            return count;
        }
        case simdjson::ondemand::json_type::string:
            return 1 + value.get_string().value().size();
        case simdjson::ondemand::json_type::number:
            return 1 + (value.get_double().value() > 0 ? 1 : 0);
        case simdjson::ondemand::json_type::boolean:
            return 1 + (value.get_bool().value() ? 1 : 0);
        case simdjson::ondemand::json_type::null:
            return value.is_null().value() ? 1 : 0;
    }
    return 0;
}

// The open floor over one document, its buffers kept between runs as a reader would reuse them.
class OpenFloor {
public:
    OpenFloor(const Deflated& deflated, std::size_t size)
        : deflated_(deflated),
          text_(size + simdjson::SIMDJSON_PADDING),
          decompressor_(libdeflate_alloc_decompressor()) {}

    // Answers the count of values walked; 0 when anything failed.
    std::uint64_t run() {
        std::size_t size = 0;
        if (libdeflate_deflate_decompress(
                decompressor_.get(), deflated_.bytes.data(), deflated_.bytes.size(), text_.data(),
                text_.size() - simdjson::SIMDJSON_PADDING, &size) != LIBDEFLATE_SUCCESS ||
            libdeflate_crc32(0, text_.data(), size) != deflated_.crc) {
            return 0;
        }
        simdjson::ondemand::document document =
            parser_.iterate(simdjson::padded_string_view(text_.data(), size, text_.size()));
        return walk(document.get_value().value());
    }

private:
    const Deflated& deflated_;
    std::vector<char> text_;
    std::unique_ptr<libdeflate_decompressor, DecompressorRelease> decompressor_;
    simdjson::ondemand::parser parser_;
};

// The save floor over one document: rendering it pretty, deflating and the CRC-32. Answers
// the deflated size.
class SaveFloor {
public:
    explicit SaveFloor(const std::string& text)
        : reserved_(text.size()), compressor_(libdeflate_alloc_compressor(kDeflateLevel)) {
        document_.Parse(text.data(), text.size());
    }

    std::size_t run() {
        rapidjson::StringBuffer buffer(nullptr, reserved_);
        rapidjson::PrettyWriter<rapidjson::StringBuffer> writer(buffer);
        writer.SetIndent(' ', 2);
        document_.Accept(writer);
        const std::string_view text(buffer.GetString(), buffer.GetSize());
        const std::size_t bound = libdeflate_deflate_compress_bound(compressor_.get(), text.size());
        const auto compressed = std::make_unique_for_overwrite<char[]>(bound);
        const std::size_t size = libdeflate_deflate_compress(compressor_.get(), text.data(),
                                                             text.size(), compressed.get(), bound);
        return libdeflate_crc32(0, text.data(), text.size()) == 0 ? 0 : size;
    }

private:
    std::size_t reserved_;
    rapidjson::Document document_;
    std::unique_ptr<libdeflate_compressor, CompressorRelease> compressor_;
};

}  // namespace bench_limit_floor
