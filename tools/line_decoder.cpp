#include "tools/line_decoder.h"

std::string LineDecoder::Levels(std::uint8_t character)
{
    std::string levels(kLevelsPerCharacter, '1');
    levels[0] = '0';
    for (int i = 0; i < 8; ++i)
        levels[1 + i] = (character >> i) & 1 ? '1' : '0';
    return levels;
}

int LineDecoder::BitOfWidth(int widthBitTimes)
{
    if (widthBitTimes == 1)
        return 1;
    if (widthBitTimes == 2)
        return 0;
    return -1;
}

std::vector<int> LineDecoder::Feed(std::string_view levels)
{
    std::vector<int> widths;
    for (const char level : levels) {
        if (level == '0') {
            ++m_lowRun;
        } else if (m_lowRun > 0) {
            widths.push_back(m_lowRun);
            m_lowRun = 0;
        }
    }
    return widths;
}
