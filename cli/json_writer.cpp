#include "cli/json_writer.h"

namespace tavro {
namespace {

// Printable ASCII other than the quote and the backslash is written as it stands by
// the library too; report texts are nearly always only that.
bool isPlain(const std::string& text) {
    for (char c : text) {
        auto u = static_cast<unsigned char>(c);
        if (u < 0x20 || u > 0x7E || c == '"' || c == '\\') return false;
    }
    return true;
}

// Everything else is written by the library itself, one value at a time, so escapes,
// U+FFFD replacements and number forms are always the library's.
void appendByLibrary(std::string& out, const nlohmann::json& value) {
    out += value.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

void appendString(std::string& out, const std::string& text) {
    if (!isPlain(text)) return appendByLibrary(out, nlohmann::json(text));
    out.push_back('"');
    out += text;
    out.push_back('"');
}

void appendLineStart(std::string& out, int spaces) {
    out.push_back('\n');
    out.append(static_cast<size_t>(spaces), ' ');
}

} // namespace

void appendJson(std::string& out, const nlohmann::json& value, int indent, int currentIndent) {
    const bool pretty = indent >= 0;
    const int inner = currentIndent + (pretty ? indent : 0);
    switch (value.type()) {
    case nlohmann::json::value_t::object: {
        if (value.empty()) {
            out += "{}";
            return;
        }
        out.push_back('{');
        bool first = true;
        for (const auto& [key, item] : value.get_ref<const nlohmann::json::object_t&>()) {
            if (!first) out.push_back(',');
            first = false;
            if (pretty) appendLineStart(out, inner);
            appendString(out, key);
            out += pretty ? ": " : ":";
            appendJson(out, item, indent, inner);
        }
        if (pretty) appendLineStart(out, currentIndent);
        out.push_back('}');
        return;
    }
    case nlohmann::json::value_t::array: {
        if (value.empty()) {
            out += "[]";
            return;
        }
        out.push_back('[');
        bool first = true;
        for (const auto& element : value) {
            if (!first) out.push_back(',');
            first = false;
            if (pretty) appendLineStart(out, inner);
            appendJson(out, element, indent, inner);
        }
        if (pretty) appendLineStart(out, currentIndent);
        out.push_back(']');
        return;
    }
    case nlohmann::json::value_t::string:
        appendString(out, value.get_ref<const std::string&>());
        return;
    case nlohmann::json::value_t::boolean:
        out += value.get<bool>() ? "true" : "false";
        return;
    case nlohmann::json::value_t::null:
        out += "null";
        return;
    case nlohmann::json::value_t::number_unsigned:
        out += std::to_string(value.get<uint64_t>());
        return;
    case nlohmann::json::value_t::number_integer:
        out += std::to_string(value.get<int64_t>());
        return;
    default: // floats, binary, discarded
        appendByLibrary(out, value);
        return;
    }
}

} // namespace tavro
