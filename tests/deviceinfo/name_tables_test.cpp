// The compiled-in name tables read through the key-path JSON reader: sizes, lookups as the refresh
// makes them, and the reader's quiet failures.
#include "platform/json/json_reader.h"
#include "resources/tables.h"

#include <gtest/gtest.h>

namespace {

using platform::json::JsonKeyValueReader;

std::string modelName(const std::string &productType)
{
    JsonKeyValueReader reader;
    reader.load(resources::modelNameTable());
    return reader.text("//" + productType);
}

std::string colourName(const std::string &productType, const std::string &colour, const std::string &enclosure)
{
    JsonKeyValueReader reader;
    reader.load(resources::colorNameTable());
    return reader.text("//color." + productType + "." + colour + "-" + enclosure);
}

// Members of the top object (or of "color"), counted by the byte pattern `"...": ` at the given depth.
size_t countMembers(std::string_view json, int depth)
{
    size_t count = 0;
    int level = 0;
    bool inString = false;
    for (size_t i = 0; i < json.size(); ++i) {
        const char c = json[i];
        if (inString) {
            if (c == '\\')
                ++i;
            else if (c == '"')
                inString = false;
            continue;
        }
        if (c == '"') {
            inString = true;
            // A member name is a string at `depth` followed by ':'.
            const size_t end = json.find('"', i + 1);
            if (level == depth && json.find_first_not_of(' ', end + 1) != std::string_view::npos &&
                json[json.find_first_not_of(' ', end + 1)] == ':')
                ++count;
        } else if (c == '{') {
            ++level;
        } else if (c == '}') {
            --level;
        }
    }
    return count;
}

TEST(NameTables, SizesAndLookups)
{
    EXPECT_EQ(countMembers(resources::modelNameTable(), 1), 133u);
    EXPECT_EQ(countMembers(resources::colorNameTable(), 2), 122u);

    const struct {
        const char *productType;
        const char *name;
    } models[] = {
        {"iPhone10,3", "iPhone X"}, {"iPhone12,1", "iPhone 11"}, {"iPad11,3", "iPad Air 3"},
        {"iPad13,4", "iPad Pro 11-inch 3nd gen"}, {"x86_64", "Simulator"}, {"iPod9,1", "iPod Touch 7G"},
        {"iPhone1,2", "iPhone 3G"}, {"iPhone15,3", "iPhone 14 Pro Max"},
        {"iPhone1,1", ""}, {"iPhone99,9", ""}, {"iphone10,3", ""}, {"iPhone10, 3", ""}, {"", ""},
    };
    for (const auto &m : models)
        EXPECT_EQ(modelName(m.productType), m.name) << m.productType;

    const struct {
        const char *productType, *colour, *enclosure, *name;
    } colours[] = {
        {"iPhone10,3", "1", "2", "银色"},
        {"iPhone12,1", "1", "2", "白色"},
        {"iPhone12,1", "1", "99", ""},
        {"iPhone12,1", "1", "17", "紫色"},
        {"iPhone5,3", "0", "#46abe0", "蓝色"},
        {"iPhone5,3", "0", "#46ABE0", ""}, // compared exactly
        {"iPad8,12", "1", "2", "银色"},     // the end of a range
        {"iPad13,11", "1", "1", "深空灰"},
        {"iPad2,6", "0", "white", "银白色"},
        {"iPad11,3", "3", "2", "金色"},
        {"iPhone15,2", "1", "17", "小黑紫"},
        {"iPhone14,3", "1", "1", ""}, // listed models without colour names
        {"iPad1,2", "0", "black", ""},
        {"iPod9,1", "1", "1", ""},
        {"", "", "", ""},
        {"iPhone10,3", "", "", ""},
    };
    for (const auto &c : colours)
        EXPECT_EQ(colourName(c.productType, c.colour, c.enclosure), c.name)
            << c.productType << " " << c.colour << "-" << c.enclosure;
}

TEST(JsonKeyValueReader, PathsAndQuietFailures)
{
    JsonKeyValueReader reader;
    EXPECT_EQ(reader.text("//a"), "") << "nothing loaded";
    ASSERT_TRUE(reader.load(R"({"a": {"b": "文本", "n": 5, "": "empty name"}, "": "top"})"));
    const struct {
        const char *path, *text;
    } cases[] = {
        {"//a.b", "文本"}, {"//a.n", ""}, {"//a", ""}, {"//a.b.c", ""}, {"//a.x", ""}, {"//", "top"},
        {"//a.", "empty name"}, {"a.b", ""}, {"/a.b", ""}, {"", ""},
    };
    for (const auto &c : cases)
        EXPECT_EQ(reader.text(c.path), c.text) << c.path;
    EXPECT_FALSE(reader.load("{not json"));
    EXPECT_EQ(reader.text("//a.b"), "") << "a failed load leaves nothing";
    ASSERT_TRUE(reader.load(R"({"a": {"b": "x"}})"));
    reader.clear();
    EXPECT_EQ(reader.text("//a.b"), "");
}

} // namespace
