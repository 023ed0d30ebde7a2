#include "libraries/prefectures.h"

namespace {

std::vector<TPrefecture> BuildPrefectures()
{
    struct Region
    {
        const char16_t* name;
        std::initializer_list<const char16_t*> prefectures;
    };
    // The eight regions as Japanese schoolbooks draw them, 沖縄県 with 九州.
    const Region regions[] = {
        {u"北海道地方", {u"北海道"}},
        {u"東北地方", {u"青森県", u"岩手県", u"宮城県", u"秋田県", u"山形県", u"福島県"}},
        {u"関東地方", {u"茨城県", u"栃木県", u"群馬県", u"埼玉県", u"千葉県", u"東京都", u"神奈川県"}},
        {u"中部地方",
         {u"新潟県", u"富山県", u"石川県", u"福井県", u"山梨県", u"長野県", u"岐阜県", u"静岡県", u"愛知県"}},
        {u"近畿地方", {u"三重県", u"滋賀県", u"京都府", u"大阪府", u"兵庫県", u"奈良県", u"和歌山県"}},
        {u"中国地方", {u"鳥取県", u"島根県", u"岡山県", u"広島県", u"山口県"}},
        {u"四国地方", {u"徳島県", u"香川県", u"愛媛県", u"高知県"}},
        {u"九州地方",
         {u"福岡県", u"佐賀県", u"長崎県", u"熊本県", u"大分県", u"宮崎県", u"鹿児島県", u"沖縄県"}},
    };
    std::vector<TPrefecture> all;
    for (const Region& region : regions) {
        for (const char16_t* prefecture : region.prefectures)
            all.push_back({int(all.size()) + 1, QString::fromUtf16(prefecture), QString::fromUtf16(region.name)});
    }
    return all;
}

} // namespace

const std::vector<TPrefecture>& AllPrefectures()
{
    static const std::vector<TPrefecture> all = BuildPrefectures();
    return all;
}

const TPrefecture* FindPrefecture(const QString& name)
{
    for (const TPrefecture& prefecture : AllPrefectures()) {
        if (prefecture.name == name)
            return &prefecture;
    }
    return nullptr;
}
