// Reading back the tables peers write: a cell text with its blanks collapsed, and the
// first table of an HTML text placed on a grid by its colspan and rowspan (merged cells
// at their first slot, covered slots empty).
#pragma once

#include <cstdlib>
#include <string>
#include <vector>

using TGrid = std::vector<std::vector<std::string>>;

// Runs of blanks, tabs and line ends become one blank; none at either end.
inline std::string Collapsed(const std::string& text) {
  std::string out;
  for (char c : text) {
    const bool blank = c == ' ' || c == '\t' || c == '\r' || c == '\n';
    if (blank && (out.empty() || out.back() == ' ')) continue;
    out += blank ? ' ' : c;
  }
  while (!out.empty() && out.back() == ' ') out.pop_back();
  return out;
}

inline std::string Unescaped(std::string text) {
  std::string out;
  bool tag = false;
  for (char c : text) {
    if (c == '<') tag = true;
    if (!tag) out += c;
    if (c == '>') tag = false;
  }
  for (auto [entity, ch] :
       {std::pair{"&lt;", "<"}, {"&gt;", ">"}, {"&quot;", "\""}, {"&amp;", "&"}})
    for (size_t p = out.find(entity); p != std::string::npos; p = out.find(entity, p + 1))
      out.replace(p, std::string(entity).size(), ch);
  return Collapsed(out);
}

inline int SpanOf(const std::string& tag, const std::string& name) {
  const size_t p = tag.find(name + "=");
  if (p == std::string::npos) return 1;
  size_t v = p + name.size() + 1;
  if (tag[v] == '"') ++v;
  return std::atoi(tag.c_str() + v);
}

// The first table of an HTML text placed on a grid by its colspan and rowspan.
inline TGrid HTMLGrid(const std::string& html, size_t colCount) {
  TGrid grid;
  std::vector<std::vector<bool>> taken;
  const size_t end = html.find("</table>");
  size_t row = html.find("<tr");
  for (int r = 0; row != std::string::npos && row < end; ++r, row = html.find("<tr", row + 1)) {
    const size_t rowEnd = html.find("</tr>", row);
    size_t cell = html.find("<td", row);
    int c = 0;
    for (; cell != std::string::npos && cell < rowEnd; cell = html.find("<td", cell + 1)) {
      const size_t open = html.find('>', cell);
      const std::string tag = html.substr(cell, open - cell);
      const size_t close = html.find("</td>", open);
      const int colSpan = SpanOf(tag, "colspan"), rowSpan = SpanOf(tag, "rowspan");
      auto fit = [&](int rr) {
        if (int(grid.size()) <= rr) grid.resize(size_t(rr) + 1), taken.resize(size_t(rr) + 1);
      };
      fit(r);
      while (c < int(taken[size_t(r)].size()) && taken[size_t(r)][size_t(c)]) ++c;
      for (int rr = r; rr < r + rowSpan; ++rr) {
        fit(rr);
        for (int cc = c; cc < c + colSpan; ++cc) {
          if (int(taken[size_t(rr)].size()) <= cc) taken[size_t(rr)].resize(size_t(cc) + 1);
          if (int(grid[size_t(rr)].size()) <= cc) grid[size_t(rr)].resize(size_t(cc) + 1);
          taken[size_t(rr)][size_t(cc)] = true;
        }
      }
      grid[size_t(r)][size_t(c)] = Unescaped(html.substr(open + 1, close - open - 1));
      c += colSpan;
    }
  }
  for (auto& r : grid) r.resize(colCount);
  return grid;
}

// The texts of every cell ("<td" or "<th") of an HTML text in order, nested cells after
// the cell holding them; tags inside a cell read as blanks.
inline std::vector<std::string> HTMLCellTexts(const std::string& html) {
  std::vector<std::string> texts;
  for (size_t cell = html.find("<t"); cell != std::string::npos; cell = html.find("<t", cell + 1)) {
    if (html.compare(cell, 3, "<td") != 0 && html.compare(cell, 3, "<th") != 0) continue;
    const size_t open = html.find('>', cell);
    size_t close = html.find("</t", open);
    if (const size_t nested = html.find("<table", open); nested < close) close = nested;
    std::string inner = html.substr(open + 1, close - open - 1);
    for (size_t p = inner.find('<'); p != std::string::npos; p = inner.find('<', p + 2))
      inner.insert(p, " ");
    texts.push_back(Unescaped(inner));
  }
  return texts;
}
