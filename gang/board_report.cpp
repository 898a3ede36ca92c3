#include "gang/board_report.h"

#include <charconv>

namespace {

struct KindName {
    ReportKind kind;
    const char* name;
};

const KindName kKindNames[] = {
    {ReportKind::Chip, "chip"},         {ReportKind::Absent, "absent"}, {ReportKind::Phase, "phase"},
    {ReportKind::Progress, "progress"}, {ReportKind::Loaded, "loaded"}, {ReportKind::Failed, "failed"},
};

std::string Escaped(const std::string& text)
{
    std::string out;
    for (char c : text) {
        if (c == '\\')
            out += "\\\\";
        else if (c == '\r')
            out += "\\r";
        else if (c == '\n')
            out += "\\n";
        else
            out += c;
    }
    return out;
}

std::string Unescaped(const std::string& text)
{
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\' || i + 1 == text.size()) {
            out += text[i];
            continue;
        }
        const char next = text[++i];
        out += next == 'r' ? '\r' : next == 'n' ? '\n' : next;
    }
    return out;
}

}  // namespace

std::string EncodeReport(const BoardReport& report)
{
    std::string line;
    for (const KindName& k : kKindNames) {
        if (k.kind == report.kind)
            line = k.name;
    }
    if (report.kind == ReportKind::Progress)
        line += " " + std::to_string(report.percent);
    else if (!report.text.empty())
        line += " " + Escaped(report.text);
    return line + "\n";
}

std::optional<BoardReport> DecodeReport(const std::string& line)
{
    const std::size_t blank = line.find(' ');
    const std::string name = line.substr(0, blank);
    const std::string rest = blank == std::string::npos ? "" : line.substr(blank + 1);
    for (const KindName& k : kKindNames) {
        if (name != k.name)
            continue;
        BoardReport report;
        report.kind = k.kind;
        if (k.kind != ReportKind::Progress) {
            report.text = Unescaped(rest);
            return report;
        }
        const auto [end, error] = std::from_chars(rest.data(), rest.data() + rest.size(), report.percent);
        if (error != std::errc() || end != rest.data() + rest.size())
            return std::nullopt;
        return report;
    }
    return std::nullopt;
}
