// The descriptor as the host reads it: words, Shift-JIS strings, entry points.
#include <gtest/gtest.h>

#include <string>

#include "aviutl1/aviutl1_table.h"
#include "plugin_version.h"
#include "tests/test_support.h"

namespace {

TEST(Descriptor, WordsAndStrings) {
    const OutputPluginTable* table = GetOutputPluginTable();
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(table, GetOutputPluginTable());
    EXPECT_EQ(table->flags, 1);
    EXPECT_EQ(std::string(table->name), Sjis("YUV4MPEG2 出力"));
    EXPECT_EQ(std::string(table->information), Sjis("YUV4MPEG2 出力 " PLUGIN_PRODUCT_VERSION_TEXT));
    // Two NUL-terminated texts and the NUL that ends the list.
    EXPECT_EQ(std::string(table->fileFilter, 25), std::string("YUV4MPEG2 (*.y4m)\0*.y4m\0\0", 25));
    EXPECT_EQ(table->init, &PluginInit);
    EXPECT_EQ(table->exit, nullptr);
    EXPECT_EQ(table->output, &PluginOutput);
    EXPECT_EQ(table->config, &PluginConfig);
    EXPECT_EQ(table->configGet, &PluginConfigGet);
    EXPECT_EQ(table->configSet, &PluginConfigSet);
    for (void* word : table->reserved) EXPECT_EQ(word, nullptr);
}

TEST(Descriptor, NameIsShiftJisBytes) {
    // 出 = 8F 6F, 力 = 97 CD in code page 932.
    EXPECT_EQ(std::string(GetOutputPluginTable()->name), "YUV4MPEG2 \x8F\x6F\x97\xCD");
}

}  // namespace
