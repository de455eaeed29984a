#pragma once
// FakePane: a console pane in memory that formats as the rich edit does: new
// text takes the insertion point's format, and moving the selection gives the
// insertion point the format of the character before it (selecting where it
// already is changes nothing). A line break is kept as a CR alone.
#include <algorithm>
#include <string>
#include <vector>

#include "console/console_pane.h"

namespace tarvo::test {

class FakePane : public IConsolePane {
public:
    struct Format {
        std::uint32_t colour = 0;
        bool bold = false, isProtected = false;
    };
    std::wstring text;
    std::vector<Format> formats;
    Format caret;
    long start = 0, end = 0;
    bool redraw = true, events = true;

    long CharacterCount() const override { return Size() + LineCount() - 1; }
    long LineCount() const override { return static_cast<long>(std::count(text.begin(), text.end(), L'\r')) + 1; }
    void Select(long s, long e) override {
        s = Clamp(s), e = e < 0 ? Size() : Clamp(e);
        if (s != start || e != end) caret = s < e ? formats[s] : s > 0 ? formats[s - 1] : Format{};
        start = s, end = e;
    }
    void Selection(long& s, long& e) const override { s = start, e = end; }
    std::wstring TextInRange(long s, long e) const override { return text.substr(Clamp(s), Clamp(e) - Clamp(s)); }
    std::wstring SelectedText() const override { return TextInRange(start, end); }
    void InsertText(const std::wstring& t) override {
        std::wstring in = t;
        std::erase(in, L'\n');
        text.replace(start, end - start, in);
        formats.erase(formats.begin() + start, formats.begin() + end);
        formats.insert(formats.begin() + start, in.size(), caret);
        start = end = start + static_cast<long>(in.size());
    }
    void FormatColour(std::uint32_t colour) override { Apply(&Format::colour, colour); }
    void FormatBold(bool bold) override { Apply(&Format::bold, bold); }
    void FormatProtected(bool on) override { Apply(&Format::isProtected, on); }
    void Redraw(bool on) override { redraw = on; }
    void WantEvents(bool on) override { events = on; }
    // One letter a character: 'B' blue 0xFF0000 and bold, 'R' red 0x0000FF, 'N' black 0x000000,
    // '?' any other format; lower case when the character is not protected.
    std::wstring Formats() const {
        std::wstring map;
        for (const Format& f : formats) {
            const wchar_t letter = f.bold ? (f.colour == 0xFF0000 ? L'B' : L'?') : f.colour == 0x0000FF ? L'R' : f.colour ? L'?' : L'N';
            map.push_back(f.isProtected || letter == L'?' ? letter : static_cast<wchar_t>(letter + 32));
        }
        return map;
    }

private:
    long Size() const { return static_cast<long>(text.size()); }
    long Clamp(long at) const { return std::clamp(at, 0L, Size()); }
    template <typename T>
    void Apply(T Format::*member, T value) {
        if (start == end) caret.*member = value;
        for (long i = start; i < end; ++i) formats[i].*member = value;
    }
};

}  // namespace tarvo::test
