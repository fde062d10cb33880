// Collects generated C++ line by line at the current indentation.
#pragma once

#include <string>
#include <string_view>

namespace kestrom::hdl {

class CodePrinter {
public:
    explicit CodePrinter(int indentWidth = 4, std::string lineEnd = "\n")
        : indentWidth_(indentWidth), lineEnd_(std::move(lineEnd)) {}

    void Line(std::string_view text);
    void Indent() { ++depth_; }
    void Dedent() {
        if (depth_ > 0) --depth_;
    }
    int Depth() const { return depth_; }
    const std::string& Text() const { return text_; }

private:
    int indentWidth_;
    std::string lineEnd_;
    int depth_ = 0;
    std::string text_;
};

} // namespace kestrom::hdl
