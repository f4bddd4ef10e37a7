// An encoder's command line into arguments, the user's commands file, and
// the log line a failure report quotes.
#include <gtest/gtest.h>

#include <string.h>

#include <string>
#include <vector>

#include "export/encoder_command.h"
#include "export/encoder_log.h"
#include "settings/encoder_commands.h"

namespace {

EncoderCommand gCommand;

const CommandValues Values = {"C:\\Video\\my clip.v2.y4m", 1920, 1080, 60000, 2002, 10, "422"};

std::vector<std::string> Arguments(const std::string& line, CommandProblem* problem, std::string* placeholder) {
    char bad[PlaceholderRoom];
    *problem = BuildEncoderCommand(line.data(), static_cast<int32_t>(line.size()), &Values, &gCommand, bad);
    *placeholder = bad;
    std::vector<std::string> arguments;
    if (*problem == CommandBuilt)
        for (int32_t i = 0; i < gCommand.count; ++i) arguments.push_back(gCommand.arguments[i]);
    return arguments;
}

struct SplitCase {
    const char* line;
    std::vector<std::string> arguments;
};

// Windows' own rules, as CommandLineToArgvW applies them.
TEST(EncoderCommand, SplitsByWindowsRules) {
    const SplitCase cases[] = {
        {"x265 --y4m --input -", {"x265", "--y4m", "--input", "-"}},
        {"  \"C:\\Program Files\\x265.exe\"  -o\tout ", {"C:\\Program Files\\x265.exe", "-o", "out"}},
        {"\"C:\\a\\\"b c", {"C:\\a\\", "b", "c"}},       // the program's name: up to the next quote, no escapes
        {"p a\\\\\\\"b c\\d", {"p", "a\\\"b", "c\\d"}},  // 2n+1 backslashes and a quote: n and a quote
        {"p \"a\\\\\" b", {"p", "a\\", "b"}},            // 2n and a quote: n, and the quote closes
        {"p \"a \"\" b\" c", {"p", "a \"", "b c"}},      // "" inside quotes: a quote, and the part ends
        {"p \"\"\"a\"\"\" b", {"p", "\"a\"", "b"}},      // three quotes give one
        {"p \"\" x", {"p", "", "x"}},                    // an empty argument
        {"p \"unterminated arg", {"p", "unterminated arg"}},
        {"p 日本 \"語 x\"", {"p", "日本", "語 x"}},  // UTF-8 passes as it is
    };
    for (const SplitCase& c : cases) {
        CommandProblem problem;
        std::string placeholder;
        EXPECT_EQ(Arguments(c.line, &problem, &placeholder), c.arguments) << c.line;
        EXPECT_EQ(problem, CommandBuilt) << c.line;
    }
}

struct PlaceholderCase {
    const char* line;
    CommandProblem problem;
    std::vector<std::string> arguments;  // or the placeholder refused
};

TEST(EncoderCommand, PutsPlaceholdersInsideArguments) {
    const PlaceholderCase cases[] = {
        {"enc -o {output_noext}.hevc {output} --fps {rate} --input-res {width}x{height} -D {bits} --csp i{chroma}",
         CommandBuilt,
         {"enc", "-o", "C:\\Video\\my clip.v2.hevc", "C:\\Video\\my clip.v2.y4m", "--fps", "30000/1001", "--input-res",
          "1920x1080", "-D", "10", "--csp", "i422"}},
        {"enc \"--x={{a}}\" }}{{", CommandBuilt, {"enc", "--x={a}", "}{"}},
        // A path is one argument, spaces, quotes and all.
        {"enc --out={output}", CommandBuilt, {"enc", "--out=C:\\Video\\my clip.v2.y4m"}},
        // The program's name is never made of a placeholder.
        {"{output} x", CommandBuilt, {"{output}", "x"}},
        {"enc {outputs}", CommandBadPlaceholder, {"{outputs}"}},
        {"enc {width", CommandBadPlaceholder, {"{width"}},
        {"enc {a{width}}", CommandBadPlaceholder, {"{a{width}"}},
        {"enc }", CommandBadPlaceholder, {"}"}},
        {"enc {}", CommandBadPlaceholder, {"{}"}},
        {"   ", CommandHasNoProgram, {""}},
        {"\"\" -o x", CommandHasNoProgram, {""}},
    };
    for (const PlaceholderCase& c : cases) {
        CommandProblem problem;
        std::string placeholder;
        std::vector<std::string> arguments = Arguments(c.line, &problem, &placeholder);
        EXPECT_EQ(problem, c.problem) << c.line;
        if (c.problem == CommandBuilt)
            EXPECT_EQ(arguments, c.arguments) << c.line;
        else
            EXPECT_EQ(placeholder, c.arguments[0]) << c.line;
    }
    CommandProblem problem;
    std::string placeholder;
    Arguments("enc -o {output_noext}.mkv x{output} {output}", &problem, &placeholder);
    ASSERT_EQ(gCommand.count, 5);
    const bool namesOutput[] = {false, false, true, false, true};
    for (int i = 0; i < 5; ++i) EXPECT_EQ(gCommand.namesOutput[i], namesOutput[i]) << i;
}

TEST(EncoderCommand, RefusesWhatDoesNotFit) {
    CommandProblem problem;
    std::string placeholder;
    Arguments("enc" + std::string(300, ' ') + std::string(600, 'a'), &problem, &placeholder);
    EXPECT_EQ(problem, CommandBuilt);
    std::string many = "enc";
    for (int i = 0; i < CommandArgumentLimit; ++i) many += " a";
    Arguments(many, &problem, &placeholder);
    EXPECT_EQ(problem, CommandTooLong);
    // Each {output} is the whole path again.
    std::string paths = "enc";
    for (int i = 0; i < 1500; ++i) paths += " {output}";
    Arguments(paths, &problem, &placeholder);
    EXPECT_EQ(problem, CommandTooLong);
}

TEST(EncoderCommand, NamesTheLogAfterTheOutput) {
    const char* const cases[][2] = {{"C:\\v\\movie.y4m", "C:\\v\\movie.log"},
                                    {"/a.b/movie", "/a.b/movie.log"},
                                    {"/v/out.log", "/v/out.log.log"},
                                    {"/v/.hidden", "/v/.log"}};
    for (const auto& c : cases) {
        char path[64];
        ASSERT_TRUE(EncoderLogPath(c[0], path, sizeof path));
        EXPECT_STREQ(path, c[1]);
    }
    char small[8];
    EXPECT_FALSE(EncoderLogPath("/v/movie.y4m", small, sizeof small));
}

TEST(EncoderCommands, FindsTheNamedLineOfTheUsersFile) {
    const std::string text =
        "\xEF\xBB\xBF# comment = not a command\r\n"
        "; also a note\n"
        "\n"
        "  x265 10 bit  =  x265 --y4m --input - -D 10 -o {output_noext}.hevc  \r\n"
        "no equals sign here\n"
        " = no name\n"
        "ffmpeg=ffmpeg -i - -vf a=b {output}\n"
        "エンコーダー = enc";
    const char* const names[][2] = {{"x265 10 bit", "x265 --y4m --input - -D 10 -o {output_noext}.hevc"},
                                    {"ffmpeg", "ffmpeg -i - -vf a=b {output}"},
                                    {"エンコーダー", "enc"}};
    for (const auto& name : names) {
        CommandEntry entry;
        ASSERT_TRUE(FindCommandEntry(text.data(), static_cast<int32_t>(text.size()), name[0], &entry)) << name[0];
        EXPECT_EQ(std::string(entry.line, static_cast<size_t>(entry.lineLength)), name[1]);
    }
    CommandEntry entry;
    EXPECT_FALSE(FindCommandEntry(text.data(), static_cast<int32_t>(text.size()), "x265", &entry));
    EXPECT_FALSE(FindCommandEntry(text.data(), static_cast<int32_t>(text.size()), "# comment", &entry));
    int32_t at = 0, count = 0;
    while (NextCommandEntry(text.data(), static_cast<int32_t>(text.size()), &at, &entry)) ++count;
    EXPECT_EQ(count, 3);
}

TEST(EncoderLog, QuotesTheLineThatSaysWhy) {
    const char* const cases[][2] = {
        {"", ""},
        {"\n\r\n  \n", ""},
        {"frame 1\rframe 2\rframe 3\n", "frame 3"},
        {"x264 [error]: could not open output\nencoded 0 frames\n", "x264 [error]: could not open output"},
        {"Error one\nFATAL two\nplain\n", "FATAL two"},
        {"\x1b[1;31mSvt[error]: bad\x1b[0m\r\n", "Svt[error]: bad"},
        {"\tlast \xE6\x97\xA5\xE6\x9C\xAC line  ", "last ?? line"},
    };
    for (const auto& c : cases) {
        char line[64];
        MeaningfulLogLine(c[0], static_cast<int32_t>(strlen(c[0])), line, sizeof line);
        EXPECT_STREQ(line, c[1]) << c[0];
    }
    const std::string longLine(500, 'e');
    char line[16];
    MeaningfulLogLine(longLine.data(), static_cast<int32_t>(longLine.size()), line, sizeof line);
    EXPECT_EQ(std::string(line), std::string(15, 'e'));
}

}  // namespace
