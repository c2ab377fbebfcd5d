#include "Catalogue.h"

namespace pulsavo::catalogue {

const std::array<std::string_view, entryCount> rhythmNames{
    "洞調律",
    "心室性期外収縮(ＳＶＰＣ)",
    "心房性性頻拍(ＰＡＴ)",
    "接合部頻拍(ＰＳＶＴ)",
    "心房細動(Ａｆ)",
    "心房粗動(ＡＦ)",
    "心室性期外収縮（散発性）",
    "心室性期外収縮（多源性）",
    "心室性期外収縮（Ｒ　ｏｎ　Ｔ）",
    "心室性期外収縮（ショートラン型）",
    "心室頻拍(VT)",
    "心室粗・細動(VF)",
    "洞停止(ａｒｒｅｓｔ　,ＳＳＳ)",
    "洞房ブロック",
    "房室ブロック　Ⅰ度",
    "房室ブロック　Ⅱ度　モービッツ型",
    "房室ブロック　Ⅱ度　ウェッケンバッハ型",
    "房室ブロック　Ⅲ度",
};

// Placeholder texts until the explanations are written.
const std::array<std::string_view, entryCount> rhythmTexts{
    "危険度　★☆☆", "危険度　★☆☆", "危険度　★★☆", "危険度　★★☆", "危険度　★★☆", "危険度　★★☆",
    "危険度　★★☆", "危険度　★★☆", "危険度　★★☆", "危険度　★★☆", "危険度　★★★", "危険度　★★★",
    "危険度　★★☆", "危険度　★★☆", "危険度　★★☆", "危険度　★★☆", "危険度　★★☆", "危険度　★★☆",
};

int findRhythm(std::string_view name) {
    for (int i = 0; i < entryCount; ++i) {
        if (rhythmNames[i] == name) {
            return i;
        }
    }
    return noEntry;
}

} // namespace pulsavo::catalogue
