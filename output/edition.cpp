#include "output/edition.h"

namespace cm {

const EditionProfile kFullEdition{
    .frameGlyph = "**",
    .statusHeader = true,
    .standbyRow = true,
    .highestDisplayCode = 17,
    .thirdMenuRow = " 3)Cleaning 8)CleanReserve",
    .recordsRequest = true,
    .cleanSchedule = true,
    .threeLineMaterialScreen = false,
};

const EditionProfile kBasicEdition{
    .frameGlyph = "\xA1\xE1",  // U+25A0 BLACK SQUARE in CP949
    .statusHeader = false,
    .standbyRow = false,
    .highestDisplayCode = 16,
    .thirdMenuRow = " 3)Cleaning",
    .recordsRequest = false,
    .cleanSchedule = false,
    .threeLineMaterialScreen = true,
};

namespace {
const EditionProfile* selected = &kFullEdition;
}

const EditionProfile& edition() { return *selected; }
void selectEdition(const EditionProfile& profile) { selected = &profile; }

}  // namespace cm
