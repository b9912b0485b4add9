#include "cli/json_writer.h"

#include <gtest/gtest.h>

#include "cli/report_output.h"

namespace tavro {
namespace {

std::string written(const nlohmann::json& value, int indent, int currentIndent = 0) {
    std::string out;
    appendJson(out, value, indent, currentIndent);
    return out;
}

std::string library(const nlohmann::json& value, int indent) {
    return value.dump(indent, ' ', false, nlohmann::json::error_handler_t::replace);
}

// The writer must give the library's text byte for byte: scripts and the golden
// outputs read what it writes.
TEST(JsonWriter, WritesWhatTheLibraryWrites) {
    const nlohmann::json values[] = {
        nullptr,
        true,
        nlohmann::json::object(),
        nlohmann::json::array(),
        {{"a", nlohmann::json::array()}, {"b", nlohmann::json::object()}, {"c", {1, 2}}},
        std::string("plain text, with spaces ~ and digits 0123"),
        std::string("quote \" backslash \\ slash /"),
        std::string("controls \x01 \t \n \r \x1f \b \f and delete \x7f"),
        std::string("nul \0 inside", 13),
        std::string("UTF-8 \xc3\xa9\xe6\x97\xa5 and not \xff\xfe\xc3 stray"),
        {{"\xe9t\xe9", "latin-1 key"}, {"key \"q\"", "v"}, {"", ""}},
        uint64_t(18446744073709551615ull),
        int64_t(-9223372036854775807ll - 1),
        0.0,
        -0.0,
        29.97002997002997,
        1e-7,
        0.1 + 0.2,
        {{"nested", {{"deep", {{"deeper", {nullptr, false, 1.5, "x"}}}}}}, {"n", -3}},
    };
    for (const nlohmann::json& value : values) {
        for (int indent : {-1, 0, 2, 4})
            EXPECT_EQ(written(value, indent), library(value, indent))
                << library(value, -1) << " indent " << indent;
    }
}

TEST(JsonWriter, CurrentIndentShiftsEveryLineButTheFirst) {
    const nlohmann::json value = {{"a", {1, {{"b", nlohmann::json::array()}}}}, {"c", "d"}};
    std::string shifted = "  ";
    for (char c : library(value, 2)) {
        shifted.push_back(c);
        if (c == '\n') shifted += "  ";
    }
    EXPECT_EQ("  " + written(value, 2, 2), shifted);
    EXPECT_EQ(jsonOutput(OutputForm::Json, value), shifted);
    EXPECT_EQ(jsonOutput(OutputForm::JsonLines, value), library(value, -1) + "\n");
}

} // namespace
} // namespace tavro
