// The fixed usage page that fills the results area before the first search
// and after a search without hits: 27 lines from y = 50, 20 pixels apart,
// each drawn whole in the context's current colour and background mode.
#include "screen/UsagePage.h"

#include <string_view>

#include "screen/ScreenLayout.h"
#include "sorahiki_version.h"
#include "window/DC.h"

namespace {

constexpr int kUsageX = 20;
constexpr int kUsageTop = 50;
constexpr int kUsageLineHeight = 20;

// Shift-JIS lines; the leading blanks are full-width. The numbered items run
// 1, 2, 3 and then 5 to 10.
constexpr std::string_view kUsageLines[] = {
    "　　　　　　　　　　　　　　　　　　　　　Sorahiki",
    "【使い方】",
    "①　真ん中の上の検索窓に、検索したい言葉を、キーボードで入力して下さい。",
    "　　　最大１０言葉まで、記述できます。言葉を区切る場合は空白を間に挟んで下さい。",
    "　　　最大総言葉数は、言葉全部を合わせて、全角１００文字までです。",
    "　　　最大を超えた分は、破棄されます。",
    "②　隣の検索ボタンを押します。",
    "　　　１～１０秒程度で、結果が表示されます。（ヒットファイル数によります。）",
    "　　　検索ワードとファイル数によって検索時間は異なります。",
    "③　マウスで、項目を選んで、クリックして下さい。",
    "　　　選択している項目は、バックが灰色になります。",
    "⑤　ファイルが開きます。",
    "　　　開いたファイルは、アプリが終了しても、閉じませんので、個別に閉じて下さい。",
    "⑥　ページを進める場合は、画面下をクリックして下さい。",
    "　　　数字はページ数です。数字をクリックすると、そのページに進みます。",
    "　　　前へは、１ページ前へ進みます。次へは、１ページ先へ進みます。",
    "⑦　総ヒット件数は、検索にヒットした総ファイル数です。",
    "⑧　検索の仕組みについて",
    "　　　ファイルの１行目４０文字までが、タイトルとして、抽出されます。（全角の場合）",
    "　　　ファイルの先頭から１０００文字までを検索対象とします。（全角の場合）",
    "　　　検索ワードに、ヒットしたファイルが、残っていきます。",
    "⑨　左上上部で、検索ワードの履歴を辿る事が出来ます。",
    "　　　新しく追加した検索ワードは、一番最後に追加されます。最大１００個までです。",
    "　　　検索ワードの履歴を消したい場合は、アプリを一旦閉じて下さい。",
    "⑩　検索対象ファイルの格納場所は、ＤＡＴＡフォルダー内です。",
    "　　　フォルダを作成する事が出来ます。様々なファイルを格納できます。",
    "　　　　　　　　　　　　Sorahiki   Version " SORAHIKI_VERSION
    "   Copyright (C) 2026 Sorahiki project",
};

}  // namespace

std::span<const std::string_view> UsagePageLines() {
    return kUsageLines;
}

RECT UsageLineRect(int nLine) {
    const int y = kUsageTop + nLine * kUsageLineHeight;
    return RECT{kUsageX, y, screen_layout::kResultsBand.right, y + kUsageLineHeight};
}

bool DrawUsagePage(CDC& dc) {
    int y = kUsageTop;
    for (const std::string_view line : kUsageLines) {
        TextOutA(dc.m_hDC, screen_layout::Scaled(kUsageX), screen_layout::Scaled(y), line.data(),
                 static_cast<int>(line.size()));
        y += kUsageLineHeight;
    }
    return true;
}
