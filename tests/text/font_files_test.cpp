#include "fixtures/client_directory.h"
#include "fixtures/font_writers.h"
#include "platform/message_box.h"
#include "text/ascii_font.h"
#include "text/unicode_font.h"

#include <gtest/gtest.h>

namespace {

TEST(FontFiles, ByteFontsLoadThroughTheFileManager)
{
    fixture::ClientDirectory data;
    data.write("Fonts.MUL", fixture::AsciiFontFileWriter().setSolidGlyph(3, 'a', 2, 3, 0, 0x7FFF).bytes());
    loadAsciiFonts();
    EXPECT_TRUE(isAsciiFontLoaded(3));
    EXPECT_FALSE(isAsciiFontLoaded(0));
    EXPECT_TRUE(asciiFont(3)->partialHue);
    freeAsciiFonts();
    EXPECT_FALSE(isAsciiFontLoaded(3));
}

TEST(FontFilesDeathTest, MissingByteFontFileIsFatal)
{
    fixture::ClientDirectory data;
    EXPECT_EXIT(loadAsciiFonts(), ::testing::ExitedWithCode(1), "Cannot open 'fonts.mul'.");
}

TEST(FontFiles, UnicodeFontsAreMappedAndAMissingOneIsAbsent)
{
    fixture::ClientDirectory data;
    data.write("unifont.mul", fixture::UnicodeFontWriter().addTestFace().bytes());
    fixture::UnicodeFontWriter small;
    small.setGlyph(u'A', { 0, 0, 3, 3, { "###", "#.#", "###" } });
    data.write("UNIFONT2.MUL", small.bytes());
    data.write("unifont1.mul", std::string(100, '\0')); // too short for its table
    loadUnicodeFonts();
    ASSERT_TRUE(areUnicodeFontsLoaded());
    selectUnicodeFont(2);
    EXPECT_EQ(getUnicodeFont(), 2);
    EXPECT_EQ(unicodeCharAdvance(u'A'), 4);
    selectUnicodeFont(1);
    EXPECT_EQ(getUnicodeFont(), 0);
    EXPECT_EQ(unicodeCharAdvance(u'A'), 6);
    unloadUnicodeFonts();
    EXPECT_FALSE(areUnicodeFontsLoaded());
}

TEST(FontFiles, UnicodeFontThatCannotBeMappedShowsItsErrorAndIsAbsent)
{
    fixture::ClientDirectory data;
    data.write("unifont.mul", fixture::UnicodeFontWriter().addTestFace().bytes());
    data.write("unifont1.mul", ""); // an empty file opens but cannot be mapped
    platform::RecordingMessageBoxSink sink;
    platform::ScopedMessageBoxSink guard(sink);
    loadUnicodeFonts();
    ASSERT_EQ(sink.boxes.size(), 1u);
    EXPECT_NE(sink.boxes[0].text.find("unifont1.mul"), std::string::npos) << sink.boxes[0].text;
    selectUnicodeFont(1);
    EXPECT_EQ(getUnicodeFont(), 0);
    unloadUnicodeFonts();
}

} // namespace
