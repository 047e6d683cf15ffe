// The settings file's text: whatever the bytes, reading never fails badly, and what
// the program writes reads back as the same text; every value survives its escaping.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "settings/ini_text.h"
#include "tests/fuzz/fuzz_checks.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    if (const std::optional<settings::IniText> text = settings::IniText::Parse(input)) {
        const std::string written = text->Text();
        if (!fuzz::IsUtf8(written)) fuzz::Fail("the text written is not UTF-8", input);
        const std::optional<settings::IniText> again = settings::IniText::Parse(written);
        if (!again) fuzz::Fail("the text written does not read back", input);
        if (again->Text() != written) fuzz::Fail("the text written reads back otherwise", input);
    }
    // Any bytes as one value: written, then read, they are the same bytes.
    if (settings::Unescaped(settings::Escaped(input)) != std::string(input)) {
        fuzz::Fail("a value does not survive its escaping", input);
    }
    return 0;
}
