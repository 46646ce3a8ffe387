#include "output/screen_text.h"

#include "output/edition.h"

namespace cm {

std::string framedRow(std::string_view body) {
  const std::string_view glyph = edition().frameGlyph;
  std::string row;
  row.reserve(glyph.size() * 2 + kRowBodyWidth);
  row.append(glyph);
  row.append(body.substr(0, kRowBodyWidth));
  row.append(kRowBodyWidth - std::min(body.size(), kRowBodyWidth), ' ');
  row.append(glyph);
  return row;
}

std::string borderRow() {
  std::string row;
  for (int i = 0; i < 20; ++i) row.append(edition().frameGlyph);
  return row;
}

}  // namespace cm
