#include "PortBackend.h"

const char* const NotListedText = "The MIDI port is no longer in the list it was chosen from";
const char* const NoMemoryText = "There is not enough memory for the MIDI port";
const char* const BadShortMessageText = "A short MIDI message has 1 to 3 bytes";

TMidiResult TMidiResult::Failure(std::string text, TMidiFailure kind)
{
    TMidiResult result;
    result.Failed = true;
    result.FKind = kind;
    result.FText = std::move(text);
    return result;
}

size_t ShortMessageLength(uint8_t status)
{
    if (status < 0x80)
        return 3;
    if (status < 0xC0)
        return 3;
    if (status < 0xE0)
        return 2;
    if (status < 0xF0)
        return 3;
    switch (status) {
    case 0xF1:
    case 0xF3:
        return 2;
    case 0xF2:
        return 3;
    default:
        return 1;
    }
}
