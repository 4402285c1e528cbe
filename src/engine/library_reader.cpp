// The library readers: the objects the component stream fills for picture and sound items, the
// desktop's system colours, and load failures turned into messages.
#include "engine/library_reader.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iterator>
#include <memory>

#include "engine/component_stream.h"
#include "engine/dib.h"
#include "engine/library_error.h"
#include "engine/wave_file.h"

namespace vrumbal {

namespace {

// The colours of the classic default desktop scheme, by system colour number (0x00BBGGRR).
constexpr std::uint32_t Rgb(std::uint32_t r, std::uint32_t g, std::uint32_t b) {
    return r | (g << 8) | (b << 16);
}
constexpr std::uint32_t kSystemColors[] = {
    Rgb(192, 192, 192),  // 0 scroll bar
    Rgb(0, 128, 128),    // 1 desktop background
    Rgb(0, 0, 128),      // 2 active caption
    Rgb(128, 128, 128),  // 3 inactive caption
    Rgb(192, 192, 192),  // 4 menu
    Rgb(255, 255, 255),  // 5 window
    Rgb(0, 0, 0),        // 6 window frame
    Rgb(0, 0, 0),        // 7 menu text
    Rgb(0, 0, 0),        // 8 window text
    Rgb(255, 255, 255),  // 9 caption text
    Rgb(192, 192, 192),  // 10 active border
    Rgb(192, 192, 192),  // 11 inactive border
    Rgb(128, 128, 128),  // 12 application work space
    Rgb(0, 0, 128),      // 13 highlight
    Rgb(255, 255, 255),  // 14 highlight text
    Rgb(192, 192, 192),  // 15 button face
    Rgb(128, 128, 128),  // 16 button shadow
    Rgb(128, 128, 128),  // 17 grey text
    Rgb(0, 0, 0),        // 18 button text
    Rgb(192, 192, 192),  // 19 inactive caption text
    Rgb(255, 255, 255),  // 20 button highlight
    Rgb(0, 0, 0),        // 21 3-D dark shadow
    Rgb(192, 192, 192),  // 22 3-D light
    Rgb(0, 0, 0),        // 23 tooltip text
    Rgb(255, 255, 225),  // 24 tooltip background
    Rgb(0, 0, 0),        // 25 unused
    Rgb(0, 0, 128),      // 26 hot-tracked item
    Rgb(16, 132, 208),   // 27 active caption gradient
    Rgb(181, 181, 181),  // 28 inactive caption gradient
    Rgb(0, 0, 128),      // 29 menu highlight
    Rgb(192, 192, 192),  // 30 menu bar
};

// The picture object of an item; its data block holds the image.
class PictureObject final : public StreamObject {
public:
    explicit PictureObject(Picture& picture) : picture_(picture) {}
    StreamObject& Child(std::string_view name) override { ThrowPropertyDoesNotExist(name); }
    void ReadProperty(std::string_view name, ComponentStreamReader& reader) override {
        if (!SameName(name, "Data")) ThrowPropertyDoesNotExist(name);
        ReadPictureBlock(reader.ReadBinary(), picture_);
    }

private:
    Picture& picture_;
};

// One picture item while its property list is read.
class PictureItemObject final : public StreamObject {
public:
    PictureItemObject(std::vector<PictureItemData>& items, std::size_t index)
        : items_(items), index_(index) {}
    StreamObject& Child(std::string_view name) override {
        if (SameName(name, "Picture")) {
            picture_ = std::make_unique<PictureObject>(Item().picture);
            return *picture_;
        }
        if (IsScalar(name)) ThrowLoadError(kInvalidPropertyPath);
        ThrowPropertyDoesNotExist(name);
    }
    void ReadProperty(std::string_view name, ComponentStreamReader& reader) override {
        PictureItemData& item = Item();
        if (SameName(name, "Name")) {
            item.name = reader.ReadString();
        } else if (SameName(name, "PatternHeight")) {
            item.patternHeight = reader.ReadInteger();
        } else if (SameName(name, "PatternWidth")) {
            item.patternWidth = reader.ReadInteger();
        } else if (SameName(name, "SkipHeight")) {
            item.skipHeight = reader.ReadInteger();
        } else if (SameName(name, "SkipWidth")) {
            item.skipWidth = reader.ReadInteger();
        } else if (SameName(name, "SystemMemory")) {
            item.systemMemory = reader.ReadBoolean();
        } else if (SameName(name, "Transparent")) {
            item.transparent = reader.ReadBoolean();
        } else if (SameName(name, "TransparentColor")) {
            item.transparentColor = ResolveSystemColor(reader.ReadColor());
        } else if (SameName(name, "Picture")) {
            if (reader.ReadObject(nullptr) == ObjectValue::Nil) item.picture = Picture{};
        } else {
            ThrowPropertyDoesNotExist(name);
        }
    }

private:
    static bool IsScalar(std::string_view name) {
        for (const char* scalar :
             {"Name", "PatternHeight", "PatternWidth", "SkipHeight", "SkipWidth", "SystemMemory",
              "Transparent", "TransparentColor"}) {
            if (SameName(name, scalar)) return true;
        }
        return false;
    }
    // Looked up each time: the item vector grows while the file is read.
    PictureItemData& Item() { return items_[index_]; }

    std::vector<PictureItemData>& items_;
    std::size_t index_;
    std::unique_ptr<PictureObject> picture_;
};

// The picture collection: items plus the colour table data block.
class PictureListObject final : public StreamObject, public StreamCollection {
public:
    explicit PictureListObject(PictureLibraryData& data) : data_(data) {}
    StreamObject& Child(std::string_view name) override { ThrowPropertyDoesNotExist(name); }
    void ReadProperty(std::string_view name, ComponentStreamReader& reader) override {
        if (!SameName(name, "ColorTable")) ThrowPropertyDoesNotExist(name);
        ByteCursor block(reader.ReadBinary());
        const auto table = block.ReadBytes(data_.colorTable.size());
        std::copy(table.begin(), table.end(), data_.colorTable.begin());
    }
    void Clear() override { data_.items.clear(); }
    StreamObject& Add() override {
        data_.items.emplace_back();
        current_ = std::make_unique<PictureItemObject>(data_.items, data_.items.size() - 1);
        return *current_;
    }

private:
    PictureLibraryData& data_;
    std::unique_ptr<PictureItemObject> current_;
};

// The wave object of a sound item; its data block holds the RIFF WAVE image.
class WaveObject final : public StreamObject {
public:
    explicit WaveObject(WaveItemData& item) : item_(item) {}
    StreamObject& Child(std::string_view name) override { ThrowPropertyDoesNotExist(name); }
    void ReadProperty(std::string_view name, ComponentStreamReader& reader) override {
        if (!SameName(name, "WAVE")) ThrowPropertyDoesNotExist(name);
        const auto block = reader.ReadBinary();
        item_.hasWave = true;
        WaveParts parts = ReadWave(block);
        item_.format = std::move(parts.format);
        item_.samples = std::move(parts.samples);
    }

private:
    WaveItemData& item_;
};

// One sound item while its property list is read.
class WaveItemObject final : public StreamObject {
public:
    WaveItemObject(std::vector<WaveItemData>& items, std::size_t index)
        : items_(items), index_(index) {}
    StreamObject& Child(std::string_view name) override {
        if (SameName(name, "Wave")) {
            wave_ = std::make_unique<WaveObject>(items_[index_]);
            return *wave_;
        }
        if (SameName(name, "Name") || SameName(name, "Looped") ||
            SameName(name, "MaxPlayingCount")) {
            ThrowLoadError(kInvalidPropertyPath);
        }
        ThrowPropertyDoesNotExist(name);
    }
    void ReadProperty(std::string_view name, ComponentStreamReader& reader) override {
        WaveItemData& item = items_[index_];
        if (SameName(name, "Name")) {
            item.name = reader.ReadString();
        } else if (SameName(name, "Looped")) {
            item.looped = reader.ReadBoolean();
        } else if (SameName(name, "MaxPlayingCount")) {
            item.maxPlayingCount = std::max(0, reader.ReadInteger());
        } else if (SameName(name, "Wave")) {
            if (reader.ReadObject(nullptr) == ObjectValue::Nil) {
                item.format.clear();
                item.samples.clear();
                item.hasWave = false;
            }
        } else {
            ThrowPropertyDoesNotExist(name);
        }
    }

private:
    std::vector<WaveItemData>& items_;
    std::size_t index_;
    std::unique_ptr<WaveObject> wave_;
};

// The sound collection.
class WaveListObject final : public StreamObject, public StreamCollection {
public:
    explicit WaveListObject(WaveLibraryData& data) : data_(data) {}
    StreamObject& Child(std::string_view name) override { ThrowPropertyDoesNotExist(name); }
    void ReadProperty(std::string_view name, ComponentStreamReader&) override {
        ThrowPropertyDoesNotExist(name);
    }
    void Clear() override { data_.items.clear(); }
    StreamObject& Add() override {
        data_.items.emplace_back();
        current_ = std::make_unique<WaveItemObject>(data_.items, data_.items.size() - 1);
        return *current_;
    }

private:
    WaveLibraryData& data_;
    std::unique_ptr<WaveItemObject> current_;
};

// The root component of either library: Name, Tag and the List collection.
class RootObject final : public StreamObject {
public:
    RootObject(StreamObject& list, StreamCollection& collection)
        : list_(list), collection_(collection) {}
    StreamObject& Child(std::string_view name) override {
        if (SameName(name, "List")) return list_;
        if (SameName(name, "Name") || SameName(name, "Tag")) ThrowLoadError(kInvalidPropertyPath);
        ThrowPropertyDoesNotExist(name);
    }
    void ReadProperty(std::string_view name, ComponentStreamReader& reader) override {
        if (SameName(name, "Name")) {
            reader.ReadString();
        } else if (SameName(name, "Tag")) {
            reader.ReadInteger();
        } else if (SameName(name, "List")) {
            // A nil or a named reference leaves the library's own collection in place.
            reader.ReadObject(&collection_);
        } else {
            ThrowPropertyDoesNotExist(name);
        }
    }

private:
    StreamObject& list_;
    StreamCollection& collection_;
};

// Runs a load, turning its failure into the returned message.
template <typename Load>
std::string Guarded(Load&& load) {
    try {
        load();
    } catch (const LibraryError& e) {
        return e.what();
    }
    return "";
}

}  // namespace

std::string ReadFileBytes(const std::string& path, std::vector<std::uint8_t>& out) {
    out.clear();
    const auto failure = [&path](int err) {
        return "Cannot open file \"" + path + "\". " + std::strerror(err);
    };
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"),
                                                         &std::fclose);
    if (!file) return failure(errno);
    std::uint8_t buffer[65536];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, file.get())) > 0) {
        out.insert(out.end(), buffer, buffer + n);
    }
    if (std::ferror(file.get())) {
        const int err = errno ? errno : EIO;
        out.clear();
        return failure(err);
    }
    return "";
}

std::string ReadPictureLibrary(std::span<const std::uint8_t> bytes, PictureLibraryData& out) {
    out = PictureLibraryData{};
    PictureListObject list(out);
    RootObject root(list, list);
    return Guarded([&] { ComponentStreamReader(bytes).ReadRoot(root); });
}

std::string ReadWaveLibrary(std::span<const std::uint8_t> bytes, WaveLibraryData& out) {
    out = WaveLibraryData{};
    WaveListObject list(out);
    RootObject root(list, list);
    return Guarded([&] { ComponentStreamReader(bytes).ReadRoot(root); });
}

std::string DecodeDib(std::span<const std::uint8_t> bytes, Picture& out) {
    return Guarded([&] {
        ByteCursor cursor(bytes);
        ReadDib(cursor, out);
    });
}

std::uint32_t ResolveSystemColor(std::uint32_t color) {
    if ((color & 0xFFFFFF00u) != 0xFF000000u) return color;
    const std::uint32_t index = color & 0xFF;
    return index < std::size(kSystemColors) ? kSystemColors[index] : 0;
}

}  // namespace vrumbal
