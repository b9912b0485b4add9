#include "cli/json_writer.h"

namespace tavro {
namespace {

// What the library writes for an ASCII byte: the byte itself, a short escape, or
// "\u00xx" for the other control characters.
void appendAsciiEscaped(std::string& out, char c) {
    static const char kHex[] = "0123456789abcdef";
    switch (c) {
    case '"':
        out += "\\\"";
        return;
    case '\\':
        out += "\\\\";
        return;
    case '\b':
        out += "\\b";
        return;
    case '\t':
        out += "\\t";
        return;
    case '\n':
        out += "\\n";
        return;
    case '\f':
        out += "\\f";
        return;
    case '\r':
        out += "\\r";
        return;
    default:
        break;
    }
    const auto u = static_cast<unsigned char>(c);
    if (u >= 0x20) {
        out.push_back(c);
        return;
    }
    out += "\\u00";
    out.push_back(kHex[u >> 4]);
    out.push_back(kHex[u & 15]);
}

// Everything else is written by the library itself, one value at a time, so
// U+FFFD replacements and number forms are always the library's.
void appendByLibrary(std::string& out, const nlohmann::json& value) {
    out += value.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

// Report texts are nearly always printable ASCII, copied whole; other ASCII gets the
// library's escapes here, and a text with any byte past ASCII goes to the library.
void appendString(std::string& out, const std::string& text) {
    unsigned char high = 0, special = 0;
    for (char c : text) { // no early exit, so the compiler can check many bytes at a time
        const auto u = static_cast<unsigned char>(c);
        high |= u & 0x80;
        special |= (u < 0x20) | (c == '"') | (c == '\\');
    }
    if (high) return appendByLibrary(out, nlohmann::json(text));
    out.push_back('"');
    if (!special) {
        out += text;
    } else {
        for (char c : text)
            appendAsciiEscaped(out, c);
    }
    out.push_back('"');
}

void appendLineStart(std::string& out, int spaces) {
    out.push_back('\n');
    out.append(static_cast<size_t>(spaces), ' ');
}

} // namespace

const JsonSplice kNoSplice{nullptr, nullptr};

void appendJson(std::string& out, const nlohmann::json& value, int indent, int currentIndent) {
    appendJson(out, value, indent, currentIndent, kNoSplice);
}

void appendJson(std::string& out, const nlohmann::json& value, int indent, int currentIndent,
                const JsonSplice& splice) {
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
            if (splice.key && key == splice.key)
                splice.write(out, indent, inner);
            else
                appendJson(out, item, indent, inner, kNoSplice);
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
            appendJson(out, element, indent, inner, kNoSplice);
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
