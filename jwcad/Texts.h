// Messages that more than one command shows, in the same words wherever a user meets them.
#pragma once

inline constexpr char kFileNotFound[] = "指定したファイルが見つかりませんでした。";
inline constexpr char kBlankInPath[] = "図面のパスに空白が含まれているため、タグに取り込めません。";
