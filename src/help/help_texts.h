#pragma once
// Every text of the help command and the version box.
#include "product/version.h"

namespace help::texts {

constexpr char kDocumentMissing[] = "がありません。"; // after the document's path
// Three lines joined by CR alone.
constexpr char kNoBrowser[] = "ヘルプを表示するにはＨＴＭＬ対応のブラウザが必要です。\r"
                              " インターネットエクスプローラなどを準備してください。\r"
                              "   とりあえず 表示しますが、正しく表示できません";
constexpr char kVersionTitle[] = "Version infometion";
constexpr char kVersionPrompt[] = "Kestrova Ver " KESTROVA_VERSION_DISPLAY "\r\r"
                                  "Copyright (C) 2026 Kestrova. All rights reserved.";

} // namespace help::texts
