// The container grammar: value types, property paths, collections, the root prefix and the
// load errors of the stream itself.
#include "engine/component_stream.h"

#include <gtest/gtest.h>

#include "engine/stream_builders.h"

namespace vrumbal::test {
namespace {

struct ValueCase {
    const char* label;
    WriteFn write;
};

// One value of every type; SkipValue must land exactly behind each of them.
std::vector<ValueCase> EveryValue() {
    return {
        {"end", [](ComponentStreamWriter& w) { w.End(); }},
        {"list",
         [](ComponentStreamWriter& w) {
             w.ListBegin();
             w.Int8(1);
             w.String("x");
             w.ListBegin();
             w.End();
             w.End();
         }},
        {"int8", [](ComponentStreamWriter& w) { w.Int8(-5); }},
        {"int16", [](ComponentStreamWriter& w) { w.Int16(-300); }},
        {"int32", [](ComponentStreamWriter& w) { w.Int32(100000); }},
        {"extended",
         [](ComponentStreamWriter& w) {
             w.Extended({1, 2, 3, 4, 5, 6, 7, 8, 9, 10});
         }},
        {"string", [](ComponentStreamWriter& w) { w.String("hello"); }},
        {"ident", [](ComponentStreamWriter& w) { w.Ident("clRed"); }},
        {"false", [](ComponentStreamWriter& w) { w.Boolean(false); }},
        {"true", [](ComponentStreamWriter& w) { w.Boolean(true); }},
        {"binary",
         [](ComponentStreamWriter& w) {
             w.Binary(std::vector<std::uint8_t>{0, 0, 7});
         }},
        {"set",
         [](ComponentStreamWriter& w) {
             w.Set({"fsBold", "fsItalic"});
         }},
        {"long string", [](ComponentStreamWriter& w) { w.LongString("long"); }},
        {"nil", [](ComponentStreamWriter& w) { w.Nil(); }},
        {"collection",
         [](ComponentStreamWriter& w) {
             w.CollectionBegin();
             w.ItemBegin(7);
             w.Property("A");
             w.Int8(1);
             w.End();
             w.ItemBegin();
             w.End();
             w.End();
         }},
        {"single", [](ComponentStreamWriter& w) { w.Single(1.5f); }},
        {"currency", [](ComponentStreamWriter& w) { w.Currency(12345); }},
        {"date", [](ComponentStreamWriter& w) { w.Date(36526.5); }},
        {"wide string", [](ComponentStreamWriter& w) { w.WideString(u"\u0416ab"); }},
        {"int64", [](ComponentStreamWriter& w) { w.Int64(-1); }},
        {"utf8 string", [](ComponentStreamWriter& w) { w.Utf8String("\xD0\x96"); }},
    };
}

TEST(ComponentStream, SkipsEveryValueTypeExactly) {
    for (const auto& c : EveryValue()) {
        ComponentStreamWriter w;
        c.write(w);
        w.Byte(0x7E);
        const auto bytes = w.Finish();
        ComponentStreamReader reader(bytes);
        ASSERT_NO_THROW(reader.SkipValue()) << c.label;
        EXPECT_EQ(reader.Cursor().Remaining(), 1u) << c.label;
        EXPECT_EQ(reader.Cursor().ReadU8(), 0x7E) << c.label;

        // Cut anywhere inside the value, skipping fails cleanly.
        for (std::size_t cut = 0; cut + 1 < bytes.size(); ++cut) {
            ComponentStreamReader shortReader(std::span(bytes.data(), cut));
            try {
                shortReader.SkipValue();
                ADD_FAILURE() << c.label << " cut at " << cut << " was skipped";
            } catch (const LibraryError& e) {
                EXPECT_STREQ(e.what(), "Stream read error") << c.label << " cut at " << cut;
            }
        }
    }
}

TEST(ComponentStream, UnknownTypeByteAndDeepNestingAreRefused) {
    const std::vector<std::uint8_t> unknown = {0x15};
    ComponentStreamReader a(unknown);
    EXPECT_THROW(a.SkipValue(), LibraryError);
    const std::vector<std::uint8_t> deep(100000, 0x01);
    ComponentStreamReader b(deep);
    try {
        b.SkipValue();
        ADD_FAILURE();
    } catch (const LibraryError& e) {
        EXPECT_STREQ(e.what(), "Invalid property value");
    }
}

// The result of loading a picture library with one item whose property list `item` writes.
std::string LoadItem(const WriteFn& item, PictureLibraryData& data) {
    return ReadPictureLibrary(PictureLibrary({item}), data);
}

struct PropertyCase {
    const char* label;
    WriteFn item;
    std::string error;                                  // "" = loads
    std::function<void(const PictureItemData&)> check;  // on success
};

TEST(ComponentStream, PictureItemPropertiesAcceptTheirValueTypes) {
    auto name = [](WriteFn value) {
        return [value](ComponentStreamWriter& w) {
            w.Property("Name");
            value(w);
        };
    };
    auto width = [](WriteFn value) {
        return [value](ComponentStreamWriter& w) {
            w.Property("PatternWidth");
            value(w);
        };
    };
    auto transparent = [](WriteFn value) {
        return [value](ComponentStreamWriter& w) {
            w.Property("Transparent");
            value(w);
        };
    };
    auto color = [](WriteFn value) {
        return [value](ComponentStreamWriter& w) {
            w.Property("TransparentColor");
            value(w);
        };
    };
    const std::string bad = "Invalid property value";
    const std::vector<PropertyCase> cases = {
        {"int8", width([](auto& w) { w.Int8(-7); }), "",
         [](const auto& i) { EXPECT_EQ(i.patternWidth, -7); }},
        {"int16", width([](auto& w) { w.Int16(720); }), "",
         [](const auto& i) { EXPECT_EQ(i.patternWidth, 720); }},
        {"int32", width([](auto& w) { w.Int32(70000); }), "",
         [](const auto& i) { EXPECT_EQ(i.patternWidth, 70000); }},
        {"int64 for integer", width([](auto& w) { w.Int64(5); }), bad, nullptr},
        {"extended for integer", width([](auto& w) { w.Extended({}); }), bad, nullptr},
        {"single for integer", width([](auto& w) { w.Single(2); }), bad, nullptr},
        {"string for integer", width([](auto& w) { w.String("5"); }), bad, nullptr},
        {"ident for integer", width([](auto& w) { w.Ident("clRed"); }), bad, nullptr},
        {"false", transparent([](auto& w) { w.Boolean(false); }), "",
         [](const auto& i) { EXPECT_FALSE(i.transparent); }},
        {"ident False", transparent([](auto& w) { w.Ident("False"); }), "",
         [](const auto& i) { EXPECT_FALSE(i.transparent); }},
        {"ident true any case", transparent([](auto& w) { w.Ident("tRUE"); }), "",
         [](const auto& i) { EXPECT_TRUE(i.transparent); }},
        {"other ident for boolean", transparent([](auto& w) { w.Ident("Maybe"); }), bad, nullptr},
        {"int for boolean", transparent([](auto& w) { w.Int8(1); }), bad, nullptr},
        {"string", name([](auto& w) { w.String("car"); }), "",
         [](const auto& i) { EXPECT_EQ(i.name, "car"); }},
        {"long string", name([](auto& w) { w.LongString(std::string(300, 'a')); }), "",
         [](const auto& i) { EXPECT_EQ(i.name, std::string(300, 'a')); }},
        {"wide string", name([](auto& w) { w.WideString(u"\u0416a"); }), "",
         [](const auto& i) {
             EXPECT_EQ(i.name,
                       "\xC6"
                       "a");
         }},
        {"utf8 string", name([](auto& w) {
             w.Utf8String(
                 "\xD0\x96"
                 "b");
         }),
         "",
         [](const auto& i) {
             EXPECT_EQ(i.name,
                       "\xC6"
                       "b");
         }},
        {"ident for string", name([](auto& w) { w.Ident("car"); }), bad, nullptr},
        {"clFuchsia", color([](auto& w) { w.Ident("clFuchsia"); }), "",
         [](const auto& i) { EXPECT_EQ(i.transparentColor, 16711935u); }},
        {"int32 16711935", color([](auto& w) { w.Int32(16711935); }), "",
         [](const auto& i) { EXPECT_EQ(i.transparentColor, 0xFF00FFu); }},
        {"colour name any case", color([](auto& w) { w.Ident("CLLIME"); }), "",
         [](const auto& i) { EXPECT_EQ(i.transparentColor, 0x00FF00u); }},
        {"system colour by name", color([](auto& w) { w.Ident("clBtnFace"); }), "",
         [](const auto& i) { EXPECT_EQ(i.transparentColor, 0xC0C0C0u); }},
        {"system colour by number",
         color([](auto& w) { w.Int32(static_cast<std::int32_t>(0xFF000001u)); }), "",
         [](const auto& i) { EXPECT_EQ(i.transparentColor, 0x808000u); }},
        {"clNone stays", color([](auto& w) { w.Ident("clNone"); }), "",
         [](const auto& i) { EXPECT_EQ(i.transparentColor, 0x1FFFFFFFu); }},
        {"unknown colour name", color([](auto& w) { w.Ident("clPink"); }), bad, nullptr},
        {"nil picture",
         [](auto& w) {
             w.Property("Picture");
             w.Nil();
         },
         "", [](const auto& i) { EXPECT_TRUE(i.picture.Empty()); }},
        {"collection for picture",
         [](auto& w) {
             w.Property("Picture");
             w.CollectionBegin();
             w.End();
         },
         bad, nullptr},
        {"string for data block",
         [](auto& w) {
             w.Property("Picture.Data");
             w.String("x");
         },
         bad, nullptr},
        {"lower-case names",
         [](auto& w) {
             w.Property("patternheight");
             w.Int8(9);
             w.Property("SKIPWIDTH");
             w.Int8(3);
             w.Property("systemmemory");
             w.Boolean(true);
         },
         "",
         [](const auto& i) {
             EXPECT_EQ(i.patternHeight, 9);
             EXPECT_EQ(i.skipWidth, 3);
             EXPECT_TRUE(i.systemMemory);
         }},
        {"dotted path any case",
         [](auto& w) {
             w.Property("picture.DATA");
             const Picture p = Pattern(2, 2, 1);
             w.Binary(PictureBlock("TDIB", EncodeDib24(p)));
         },
         "", [](const auto& i) { EXPECT_EQ(i.picture.pixels, Pattern(2, 2, 1).pixels); }},
        {"unknown property",
         [](auto& w) {
             w.Property("Frequency");
             w.Int8(1);
         },
         "Property Frequency does not exist", nullptr},
        {"unknown first path part",
         [](auto& w) {
             w.Property("Image.Data");
             w.Int8(1);
         },
         "Property Image does not exist", nullptr},
        {"unknown last path part",
         [](auto& w) {
             w.Property("Picture.Bits");
             w.Int8(1);
         },
         "Property Bits does not exist", nullptr},
        {"path through a non-object",
         [](auto& w) {
             w.Property("Name.Data");
             w.Int8(1);
         },
         "Invalid property path", nullptr},
        {"empty path part",
         [](auto& w) {
             w.Property("Picture..Data");
             w.Int8(1);
         },
         "Invalid property path", nullptr},
    };
    for (const auto& c : cases) {
        PictureLibraryData data;
        EXPECT_EQ(LoadItem(c.item, data), c.error) << c.label;
        ASSERT_EQ(data.items.size(), 1u) << c.label;
        if (c.check) c.check(data.items[0]);
    }
}

TEST(ComponentStream, DefaultsHoldForAbsentProperties) {
    PictureLibraryData data;
    ASSERT_EQ(LoadItem([](auto&) {}, data), "");
    ASSERT_EQ(data.items.size(), 1u);
    const PictureItemData& i = data.items[0];
    EXPECT_TRUE(i.transparent);
    EXPECT_FALSE(i.systemMemory);
    EXPECT_EQ(i.patternWidth, 0);
    EXPECT_EQ(i.skipHeight, 0);
    EXPECT_EQ(i.transparentColor, 0u);
    EXPECT_TRUE(i.picture.Empty());
}

TEST(ComponentStream, ItemOrderNumbersOfEverySizeAreIgnored) {
    for (std::int32_t order : {5, -100, 1000, -30000, 100000, -2000000000}) {
        const auto bytes = Container("TPictureCollectionComponent", [&](ComponentStreamWriter& w) {
            w.Property("List");
            w.CollectionBegin();
            w.ItemBegin(order);
            w.Property("Name");
            w.String("a");
            w.End();
            w.ItemBegin();
            w.Property("Name");
            w.String("b");
            w.End();
            w.End();
        });
        PictureLibraryData data;
        ASSERT_EQ(ReadPictureLibrary(bytes, data), "") << order;
        ASSERT_EQ(data.items.size(), 2u);
        EXPECT_EQ(data.items[0].name, "a");
        EXPECT_EQ(data.items[1].name, "b");
    }
}

TEST(ComponentStream, RootPrefixWithAndWithoutItsInteger) {
    struct Case {
        std::optional<std::uint8_t> prefix;
        std::optional<std::int32_t> childPos;
        std::string error;
    };
    const std::vector<Case> cases = {
        {std::nullopt, std::nullopt, ""},
        {0xF0, std::nullopt, ""},
        {0xF1, std::nullopt, ""},
        {0xF2, 3, ""},
        {0xF2, 40000, ""},
        {0xFF, -5, ""},
        {0xF4, std::nullopt, ""},
    };
    for (const auto& c : cases) {
        ComponentStreamWriter w;
        w.ResourceHeader("X");
        w.Signature();
        w.RootHeader("TPictureCollectionComponent", "Root", c.prefix, c.childPos);
        w.Property("Tag");
        w.Int8(4);
        w.Property("Name");
        w.String("Root");
        w.End();
        w.End();
        PictureLibraryData data;
        const auto bytes = w.Finish();
        EXPECT_EQ(ReadPictureLibrary(bytes, data), c.error)
            << static_cast<int>(c.prefix.value_or(0));
        const auto header = [&] {
            ComponentStreamReader r(bytes);
            r.ReadResourceHeader();
            r.ReadSignature();
            return r.ReadRootHeader();
        }();
        EXPECT_EQ(header.className, "TPictureCollectionComponent");
        EXPECT_EQ(header.childPos, c.childPos);
    }
    // Bit 1 set but a string where the Integer belongs.
    ComponentStreamWriter w;
    w.ResourceHeader("X");
    w.Signature();
    w.Byte(0xF2);
    w.String("oops");
    PictureLibraryData data;
    EXPECT_EQ(ReadPictureLibrary(w.Finish(), data), "Invalid property value");
}

TEST(ComponentStream, ContainerErrors) {
    const auto good = WritePictureLibrary(PictureLibraryData{});
    auto with = [&](std::size_t at, std::uint8_t value) {
        auto b = good;
        b[at] = value;
        return b;
    };
    // The signature sits behind "\xFF\x0A\x00" + name + "\0" + flags + size.
    const std::size_t sig = 3 + std::string("TPICTURECOLLECTIONCOMPONENT").size() + 7;
    ASSERT_EQ(good[sig], 'T');
    struct Case {
        const char* label;
        std::vector<std::uint8_t> bytes;
        std::string error;
    };
    const std::vector<Case> cases = {
        {"empty file", {}, "Invalid stream format"},
        {"first byte", with(0, 0xFE), "Invalid stream format"},
        {"second field", with(1, 11), "Invalid stream format"},
        {"second field high byte", with(2, 1), "Invalid stream format"},
        {"signature", with(sig + 3, '1'), "Invalid stream format"},
        {"header only", {0xFF, 0x0A, 0x00, 'A', 0, 0x30, 0x10, 0, 0, 0, 0}, "Stream read error"},
        {"unknown root property",
         Container("TPictureCollectionComponent",
                   [](auto& w) {
                       w.Property("Items");
                       w.Nil();
                   }),
         "Property Items does not exist"},
        {"colour table too short",
         Container("TPictureCollectionComponent",
                   [](auto& w) {
                       w.Property("List.ColorTable");
                       w.Binary(std::vector<std::uint8_t>(1000, 1));
                   }),
         "Stream read error"},
        {"colour table not binary",
         Container("TPictureCollectionComponent",
                   [](auto& w) {
                       w.Property("List.ColorTable");
                       w.Int8(0);
                   }),
         "Invalid property value"},
        {"item without list byte",
         Container("TPictureCollectionComponent",
                   [](auto& w) {
                       w.Property("List");
                       w.CollectionBegin();
                       w.String("x");
                   }),
         "Invalid property value"},
        {"colour table on sounds",
         Container("TWaveCollectionComponent",
                   [](auto& w) {
                       w.Property("List.ColorTable");
                       w.Binary(std::vector<std::uint8_t>(1024, 1));
                   }),
         "Property ColorTable does not exist"},
    };
    for (const auto& c : cases) {
        PictureLibraryData pictures;
        WaveLibraryData sounds;
        const bool isSound = PeekRootClassName(c.bytes) == "TWaveCollectionComponent";
        EXPECT_EQ(
            isSound ? ReadWaveLibrary(c.bytes, sounds) : ReadPictureLibrary(c.bytes, pictures),
            c.error)
            << c.label;
    }
}

TEST(ComponentStream, ColorTableIsRead) {
    std::vector<std::uint8_t> table(1024);
    for (std::size_t i = 0; i < table.size(); ++i) table[i] = static_cast<std::uint8_t>(i * 7);
    const auto bytes = Container("TPictureCollectionComponent", [&](auto& w) {
        w.Property("list.colortable");
        w.Binary(table);
    });
    PictureLibraryData data;
    ASSERT_EQ(ReadPictureLibrary(bytes, data), "");
    EXPECT_TRUE(std::equal(table.begin(), table.end(), data.colorTable.begin()));
}

TEST(ComponentStream, ItemsReadBeforeAnErrorAreKept) {
    const auto bytes = PictureLibrary({
        [](auto& w) {
            w.Property("Name");
            w.String("first");
            w.Property("PatternWidth");
            w.Int8(16);
        },
        [](auto& w) {
            w.Property("Name");
            w.String("second");
            w.Property("Picture.Data");
            w.Binary(PictureBlock("TDIB", EncodeDib24(Pattern(3, 2, 4))));
        },
        [](auto& w) {
            w.Property("Name");
            w.String("third");
            w.Property("Volume");
            w.Int8(1);
        },
        [](auto& w) {
            w.Property("Name");
            w.String("never");
        },
    });
    PictureLibraryData data;
    EXPECT_EQ(ReadPictureLibrary(bytes, data), "Property Volume does not exist");
    ASSERT_EQ(data.items.size(), 3u);
    EXPECT_EQ(data.items[0].name, "first");
    EXPECT_EQ(data.items[0].patternWidth, 16);
    EXPECT_EQ(data.items[1].picture.pixels, Pattern(3, 2, 4).pixels);
    EXPECT_EQ(data.items[2].name, "third");
}

TEST(ComponentStream, ColorIdentifierTable) {
    EXPECT_EQ(ColorFromIdent("clFuchsia"), 0xFF00FFu);
    EXPECT_EQ(ColorFromIdent("clSkyBlue"), 0xF0CAA6u);
    EXPECT_EQ(ColorFromIdent("clHotLight"), 0xFF00001Au);
    EXPECT_EQ(ColorFromIdent("clMenuBar"), 0xFF00001Eu);
    EXPECT_EQ(ColorFromIdent("clWhatever"), std::nullopt);
    EXPECT_EQ(ResolveSystemColor(0xFF000005u), 0xFFFFFFu);  // window
    EXPECT_EQ(ResolveSystemColor(0xFF000012u), 0x000000u);  // button text
    EXPECT_EQ(ResolveSystemColor(0x00123456u), 0x00123456u);
    EXPECT_EQ(ResolveSystemColor(0xFE000005u), 0xFE000005u);
}

}  // namespace
}  // namespace vrumbal::test
