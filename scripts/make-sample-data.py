#!/usr/bin/env python3
"""Writes the sample folder examples/DATA: short Japanese notes, recipes and
memos in Shift-JIS (code page 932), some with CR LF line ends, one with a long
first line and one with a NUL byte, and one memo in UTF-8 as a phone or a
current editor saves it. Run from the repository root; the files it
writes are committed as they are."""
import os
import shutil
import sys

ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "examples", "DATA")

# (path under DATA, text, line end[, encoding]). Text is written here as
# UTF-8; a file is encoded in code page 932 unless it names its encoding.
FILES = [
    ("レシピ/カレーライス.txt", """カレーライスの作り方
家族に人気の料理メモ。材料は四人分。
玉ねぎ 二個、にんじん 一本、じゃがいも 三個、牛肉 300g、カレールー 半箱。
玉ねぎをあめ色になるまで炒めるのがこつ。rice は少し固めに炊く。
""", "\n"),
    ("レシピ/親子丼.txt", """親子丼
鶏もも肉と卵だけでできる簡単な料理。
だし 200ml、しょうゆ 大さじ二、みりん 大さじ二、砂糖 少々。
卵は二回に分けて入れると、とろとろに仕上がる。ご飯 (rice) は丼に一杯。
""", "\r\n"),
    ("レシピ/味噌汁.txt", """毎朝の味噌汁
具は豆腐とわかめ、ねぎ。煮干しでだしを取る。
味噌は火を止めてから溶かすこと。沸騰させると香りが飛ぶ。
料理メモ:赤味噌と白味噌を半分ずつ合わせるとおいしい。
""", "\n"),
    ("レシピ/おにぎり.txt", """おにぎりの具の一覧
梅干し、鮭、昆布、おかか、ツナマヨ。
塩は手のひらに薄く。rice が熱いうちに握る。
""", "\n"),
    ("レシピ/和食/肉じゃが.txt", """肉じゃが
和食の定番料理。牛肉でも豚肉でもよい。
じゃがいもは面取りすると煮崩れしにくい。
落としぶたをして弱火で十五分。
""", "\r\n"),
    ("レシピ/和食/天ぷら.txt", """天ぷらの衣
冷水と卵と薄力粉。混ぜすぎないのがこつ。
油の温度は百七十度前後。菜箸を入れて細かい泡が出ればよい。
料理の後は油をこして保存する。
""", "\n"),
    ("レシピ/洋食/オムライス.txt", """オムライス
ケチャップライスを作り、薄焼き卵で包む。
chicken rice を使う洋食の料理。バターで香りを付ける。
""", "\n"),
    ("レシピ/洋食/pasta.txt", """Pasta memo
トマトソースのパスタ。にんにくをオリーブ油で弱火で炒める。
塩はゆで汁一リットルに十グラム。料理の最後に粉チーズ。
""", "\n"),
    ("メモ/買い物メモ.txt", """買い物メモ
牛乳、卵、食パン、トマト、玉ねぎ。
洗剤が切れそう。電池も単三を四本。
""", "\n"),
    ("メモ/電話メモ.txt", """電話メモ 十月三日
歯医者から電話。予約を金曜の午後四時に変更。
保険証を忘れないこと。
""", "\r\n"),
    ("メモ/読書メモ.txt", """読書メモ
今月は三冊。星の話の本がいちばん面白かった。
次は料理の歴史の本を借りる予定。
""", "\n"),
    ("メモ/アイデア.txt", """アイデアメモ
・朝の散歩のコースを変える
・ベランダでハーブを育てる(バジル、ミント)
・写真を月ごとにまとめる
""", "\n"),
    ("メモ/パスワードのヒント.txt", """ヒントのメモ
本物の文字列は書かないこと。場所だけをメモする。
銀行: 引き出しの青いノート。
""", "\n"),
    ("メモ/長いタイトル.txt", """これはとても長い一行目のメモです。画面の題名の欄には入りきらないので、八十一バイトを超えた残りの部分は抜粋の先頭に回されるはずです。確認用。
二行目からが本文です。メモの続きはここから。
""", "\n"),
    ("メモ/スマホのメモ.txt", """買い物リスト
スマートフォンで書いたメモ。このファイルだけ UTF-8 で保存してある。
豆腐、ねぎ、みかん一袋、コーヒー豆。
土曜は駅前の八百屋が特売〜忘れずに。
""", "\n", "utf-8"),
    ("メモ/nul入り.txt", "NULを含むメモ\n前半の本文。\0後半はここから。検索には出てこない語:ひみつ\n", None),
    ("仕事/会議メモ.txt", """定例会議メモ
出席:山田、佐藤、鈴木。
議題:来月のリリース日程とテストの分担。
次回までに各自の進み具合をメモにまとめる。
""", "\r\n"),
    ("仕事/日報.txt", """日報 十一月五日
午前:検索の速さを測った。十万ファイルで数秒。
午後:不具合を二件直した。メモは共有フォルダへ。
""", "\n"),
    ("仕事/todo.txt", """TODO
1. 見積書を送る
2. 会議室を予約する
3. 出張の経費を精算する(メモ参照)
""", "\n"),
    ("仕事/議事録/2026-10.txt", """十月の議事録
メモ係:佐藤。
新しい検索ツールを試すことに決定。キーワードは半角と全角を区別する。
""", "\r\n"),
    ("仕事/議事録/2026-11.txt", """十一月の議事録
メモ係:鈴木。
忘年会の店は和食の料理店に決定。予算は一人五千円。
""", "\r\n"),
    ("旅行/京都.txt", """京都旅行のメモ
一日目:清水寺、二年坂、祇園。
二日目:嵐山で湯豆腐の料理を食べる。竹林の小径。
おみやげは八つ橋。
""", "\n"),
    ("旅行/北海道.txt", """北海道旅行
札幌で味噌ラーメン、小樽で寿司。
富良野のラベンダー畑は七月が見ごろ。
持ち物メモ:上着、雨具、充電器。
""", "\n"),
    ("旅行/持ち物リスト.txt", """持ち物リスト
財布、切符、携帯電話、充電器、着替え三日分。
常備薬と歯ブラシ。メモ帳とペン。
""", "\r\n"),
    ("日記/2026-12-01.txt", """十二月一日 晴れ
朝から寒い。駅まで歩いた。
夕飯は鍋料理。白菜と豆腐と鶏肉。
""", "\n"),
    ("日記/2026-12-02.txt", """十二月二日 くもり
図書館で本を二冊借りた。帰りにパン屋に寄った。
寝る前に明日のメモを書いた。
""", "\n"),
    ("日記/2026-12-03.txt", """十二月三日 雨
一日じゅう家にいた。カレーを作った。rice を炊きすぎた。
""", "\n"),
    ("notes/english.txt", """English notes
Fried rice: leftover rice, egg, green onion, soy sauce.
Cook the egg first, then add the rice. Memo: use a hot pan.
""", "\n"),
    ("notes/mixed.txt", """Mixed メモ
ASCII words and 日本語 side by side: rice, 料理, memo.
全角の ＡＢＣ と半角の ABC は別の文字。
""", "\n"),
    ("notes/halfwidth.txt", """半角カナのメモ
ｶﾀｶﾅ は一バイトの文字。ﾒﾓ と メモ は別の語。
""", "\n"),
    ("README.txt", """このフォルダについて
Sorahiki のためのサンプルです。料理、メモ、仕事、旅行、日記のフォルダがあります。
「料理」や「メモ」で検索してみてください。
""", "\r\n"),
]


def main():
    if os.path.isdir(ROOT):
        shutil.rmtree(ROOT)
    for path, text, line_end, *encoding in FILES:
        full = os.path.join(ROOT, path)
        os.makedirs(os.path.dirname(full), exist_ok=True)
        if line_end is not None:
            text = text.replace("\n", line_end)
        with open(full, "wb") as f:
            f.write(text.encode(encoding[0] if encoding else "cp932"))
    print(f"wrote {len(FILES)} files under {os.path.normpath(ROOT)}", file=sys.stderr)


if __name__ == "__main__":
    main()
