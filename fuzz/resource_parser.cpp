// The reading of compiled resources on Linux: a resource file of any bytes is
// walked without reading outside it, what is found lies inside it, and a
// dialog template of any bytes gives its items or a refusal, never text with
// a NUL inside.
#include <cstdint>

#include "fuzz/FuzzSupport.h"
#include "platform/src/ui/resources.h"

namespace {

using sorahiki::ui::DialogTemplate;
using sorahiki::ui::ResourceBytes;

bool HoldsNul(const std::string& text) {
    return text.find('\0') != std::string::npos;
}

void ParseDialog(const ResourceBytes& bytes) {
    DialogTemplate dialog;
    if (!sorahiki::ui::ParseDialogTemplate(bytes, &dialog)) return;
    bool extended = bytes.size >= 4 && bytes.data[2] == 0xFF && bytes.data[3] == 0xFF;
    size_t countAt = extended ? 16 : 8;
    fuzz::Require(bytes.size >= countAt + 2, "an accepted template holds its header");
    size_t count = bytes.data[countAt] | (bytes.data[countAt + 1] << 8);
    fuzz::Require(dialog.items.size() == count, "an accepted template gives all its items");
    fuzz::Require(!HoldsNul(dialog.title) && !HoldsNul(dialog.font), "no NUL inside a text");
    for (const sorahiki::ui::DialogItem& item : dialog.items) {
        fuzz::Require(!HoldsNul(item.text) && !HoldsNul(item.class_name), "no NUL in an item");
    }
}

void FindAndParse(const ResourceBytes& file, WORD type, LPCSTR name) {
    ResourceBytes found;
    if (!sorahiki::ui::FindResourceInFile(file, type, name, &found)) return;
    fuzz::Require(found.data >= file.data && found.size <= file.size &&
                      static_cast<size_t>(found.data - file.data) <= file.size - found.size,
                  "a found resource lies inside the file");
    if (type == sorahiki::ui::kResourceDialog) ParseDialog(found);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    ResourceBytes bytes{data, size};
    ParseDialog(bytes);
    FindAndParse(bytes, sorahiki::ui::kResourceDialog, MAKEINTRESOURCEA(101));
    FindAndParse(bytes, sorahiki::ui::kResourceDialog, "#104");
    FindAndParse(bytes, sorahiki::ui::kResourceMenu, "Menu");
    return 0;
}
