#include "base/ToolReport.h"

#include <cstdio>
#include <set>

#include "base/Utf8.h"

namespace kestrom {
namespace {

std::string UriOf(const std::string& path) {
    std::string uri = path.empty() || path[0] != '/' ? "" : "file://";
    for (unsigned char c : path) {
        const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                           (c >= '0' && c <= '9') || c == '-' || c == '.' || c == '_' || c == '~' ||
                           c == '/';
        if (plain) {
            uri += static_cast<char>(c);
        } else {
            char escaped[4];
            std::snprintf(escaped, sizeof escaped, "%%%02X", c);
            uri += escaped;
        }
    }
    return uri;
}

std::string LineJson(int line) {
    return line > 0 ? std::to_string(line) : "null";
}

std::string SarifRules(const FileDiagnostics& diagnostics) {
    std::set<std::string_view> used;
    for (const FileDiagnostic& diagnostic : diagnostics)
        used.insert(diagnostic.Code);
    std::string rules;
    for (const CodeKind& kind : CodeKinds()) {
        if (used.count(kind.Code) == 0) continue;
        rules += std::string(rules.empty() ? "" : ",") +
                 "\n        {\"id\": " + JsonString(kind.Code) +
                 ", \"name\": " + JsonString(kind.Name) +
                 ", \"shortDescription\": {\"text\": " + JsonString(kind.Summary) + "}}";
    }
    return rules;
}

std::string SarifResult(const FileDiagnostic& diagnostic) {
    std::string result = "\n        {\"ruleId\": " + JsonString(diagnostic.Code) +
                         ", \"level\": " + JsonString(diagnostic.Severity) +
                         ", \"message\": {\"text\": " + JsonString(diagnostic.Message) +
                         "}, \"locations\": [{\"physicalLocation\": {\"artifactLocation\": "
                         "{\"uri\": " +
                         JsonString(UriOf(diagnostic.File)) + "}";
    if (diagnostic.Line > 0)
        result += ", \"region\": {\"startLine\": " + std::to_string(diagnostic.Line) +
                  (diagnostic.Column > 0 ? ", \"startColumn\": " + std::to_string(diagnostic.Column)
                                         : std::string()) +
                  "}";
    result += "}}]";
    if (!diagnostic.Related.empty()) {
        result += ", \"relatedLocations\": [";
        for (std::size_t i = 0; i < diagnostic.Related.size(); ++i) {
            const RelatedLocation& other = diagnostic.Related[i];
            result += std::string(i == 0 ? "" : ", ") + "{\"id\": " + std::to_string(i + 1) +
                      ", \"physicalLocation\": {\"artifactLocation\": {\"uri\": " +
                      JsonString(UriOf(diagnostic.File)) +
                      "}, \"region\": {\"startLine\": " + std::to_string(other.Line) +
                      "}}, \"message\": {\"text\": " + JsonString(other.Message) + "}}";
        }
        result += "]";
    }
    return result + "}";
}

std::string RelatedJson(const FileDiagnostic& diagnostic) {
    if (diagnostic.Related.empty()) return "";
    std::string json = ", \"related\": [";
    for (std::size_t i = 0; i < diagnostic.Related.size(); ++i)
        json += std::string(i == 0 ? "" : ", ") +
                "{\"line\": " + LineJson(diagnostic.Related[i].Line) +
                ", \"message\": " + JsonString(diagnostic.Related[i].Message) + "}";
    return json + "]";
}

} // namespace

std::string FileDiagnosticText(const FileDiagnostic& diagnostic) {
    const std::string where = diagnostic.Line > 0 && diagnostic.Column > 0
                                  ? diagnostic.File + ":" + std::to_string(diagnostic.Line) + ":" +
                                        std::to_string(diagnostic.Column) + ": "
                                  : std::string();
    std::string text = where.empty() ? FormatDiagnostic(diagnostic.File, diagnostic.Line,
                                                        diagnostic.Severity, diagnostic.Message)
                                     : where + diagnostic.Severity + ": " + diagnostic.Message;
    if ((diagnostic.Severity == "warning" || diagnostic.Severity == "note") &&
        !diagnostic.Code.empty())
        text += " [" + std::string(diagnostic.Code) + "]";
    return text;
}

std::string JsonString(std::string_view text) {
    std::string out = "\"";
    for (std::size_t i = 0; i < text.size();) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
            out += escaped;
        } else if (c >= 0x80) {
            const std::size_t length = Utf8SequenceLength(text, i);
            if (length == 0) {
                AppendLatin1(out, c);
                ++i;
            } else {
                out.append(text.substr(i, length));
                i += length;
            }
            continue;
        } else {
            out += static_cast<char>(c);
        }
        ++i;
    }
    return out + "\"";
}

std::string DiagnosticsJson(const FileDiagnostics& diagnostics) {
    std::string json = "{\"diagnostics\": [";
    for (std::size_t i = 0; i < diagnostics.size(); ++i) {
        const FileDiagnostic& diagnostic = diagnostics[i];
        json += std::string(i == 0 ? "" : ",") + "\n  {\"file\": " + JsonString(diagnostic.File) +
                ", \"line\": " + LineJson(diagnostic.Line) +
                (diagnostic.Column > 0 ? ", \"column\": " + std::to_string(diagnostic.Column)
                                       : std::string()) +
                ", \"severity\": " + JsonString(diagnostic.Severity) +
                ", \"code\": " + JsonString(diagnostic.Code) +
                ", \"message\": " + JsonString(diagnostic.Message) + RelatedJson(diagnostic) + "}";
    }
    return json + (diagnostics.empty() ? "]}\n" : "\n]}\n");
}

std::string DiagnosticsSarif(const FileDiagnostics& diagnostics, std::string_view toolName,
                             std::string_view toolVersion) {
    std::string results;
    for (const FileDiagnostic& diagnostic : diagnostics)
        results += (results.empty() ? "" : ",") + SarifResult(diagnostic);
    return "{\n  \"$schema\": \"https://json.schemastore.org/sarif-2.1.0.json\",\n"
           "  \"version\": \"2.1.0\",\n"
           "  \"runs\": [{\n"
           "    \"tool\": {\"driver\": {\"name\": " +
           JsonString(toolName) + ", \"version\": " + JsonString(toolVersion) + ", \"rules\": [" +
           SarifRules(diagnostics) + "]}},\n    \"results\": [" + results + "]\n  }]\n}\n";
}

} // namespace kestrom
