#include "calil/calil_check_answer.h"
#include "calil/calil_error.h"
#include "calil/calil_library_directory.h"
#include "calil/calil_library_offer.h"
#include "calil/calil_session_plan.h"
#include "config/endpoints.h"
#include "libraries/library_list.h"
#include "results/lending_status.h"
#include "support/temp_folder.h"

#include <QSet>

#include <gtest/gtest.h>

void PrintTo(const TCalilSystem& system, std::ostream* out)
{
    *out << system.systemId.toStdString() << '=' << system.name.toStdString();
}

namespace {

// The shapes of Calil's /check answers: a session still asking libraries,
// wrapped as JSONP, and a finished one.
const QByteArray kRunning = R"(callback({"session": "5f2c0a9d1e", "continue": 1,
 "books": {"4101010137": {
   "Tokyo_Mitaka": {"status": "OK", "libkey": {"本館": "貸出中", "三鷹駅前": "貸出可"},
                    "reserveurl": "https://opac.example.mitaka/detail?id=0001"},
   "Osaka_Pref":   {"status": "Running", "reserveurl": ""}}}});)";

const QByteArray kFinal = R"({"session": "77aa01", "continue": 0,
 "books": {"4003101014": {
   "Tokyo_Mitaka": {"status": "Cache", "libkey": {}, "reserveurl": ""},
   "Tokyo_Fussa":  {"status": "OK", "libkey": {"中央": "館内のみ"}, "reserveurl": ""},
   "Tokyo_Inagi":  {"status": "OK", "libkey": {"中央": "蔵書なし"}, "reserveurl": ""},
   "Osaka_Pref":   {"status": "Error"},
   "Osaka_Osaka":  {"status": "Maintenance\u001b[2J"}}}})";

} // namespace

TEST(CalilCheckAnswer, ReadsRunningHeldNotHeldAndFailedPairs)
{
    const TCalilCheckAnswer running = ParseCalilCheckAnswer(kRunning);
    EXPECT_EQ(running.session, QStringLiteral("5f2c0a9d1e"));
    EXPECT_TRUE(running.more);
    const TCalilPairState* mitaka = running.Find(QStringLiteral("4101010137"), QStringLiteral("Tokyo_Mitaka"));
    ASSERT_NE(mitaka, nullptr);
    EXPECT_FALSE(mitaka->running);
    EXPECT_EQ(mitaka->answer.Kind, TLibraryAnswer::TKind::Found);
    EXPECT_EQ(mitaka->answer.Url, QStringLiteral("https://opac.example.mitaka/detail?id=0001"));
    // The best of the buildings: one copy is on the shelf at the station.
    EXPECT_EQ(mitaka->answer.Status, QStringLiteral("貸出可"));
    EXPECT_TRUE(running.Find(QStringLiteral("4101010137"), QStringLiteral("Osaka_Pref"))->running);
    EXPECT_EQ(running.Find(QStringLiteral("4101010137"), QStringLiteral("Tokyo_Fussa")), nullptr);

    const TCalilCheckAnswer done = ParseCalilCheckAnswer(kFinal);
    EXPECT_FALSE(done.more);
    const auto pair = [&](const char* system) {
        return done.Find(QStringLiteral("4003101014"), QString::fromLatin1(system))->answer;
    };
    EXPECT_EQ(pair("Tokyo_Mitaka").Kind, TLibraryAnswer::TKind::NotHeld);
    EXPECT_EQ(pair("Tokyo_Mitaka").CellText(), QStringLiteral("×"));
    // Held without a record page of its own: Calil's page of the book.
    EXPECT_EQ(pair("Tokyo_Fussa").Kind, TLibraryAnswer::TKind::Found);
    EXPECT_EQ(pair("Tokyo_Fussa").Status, QStringLiteral("館内のみ"));
    EXPECT_EQ(pair("Tokyo_Fussa").Url, QStringLiteral("https://calil.jp/book/4003101014"));
    EXPECT_EQ(pair("Tokyo_Inagi").Kind, TLibraryAnswer::TKind::NotHeld);
    EXPECT_TRUE(pair("Osaka_Pref").IsFailure());
    // A status Calil does not have is a failure, and what it says is shown
    // without its control characters.
    EXPECT_TRUE(pair("Osaka_Osaka").IsFailure());
    EXPECT_FALSE(pair("Osaka_Osaka").Message.contains(QChar(0x1b)));

    EXPECT_THROW(ParseCalilCheckAnswer("<html>503</html>"), CalilError);
    EXPECT_THROW(ParseCalilCheckAnswer("[1,2]"), CalilError);
}

TEST(LendingStatus, BestOfTheBuildingsByTheFixedOrder)
{
    const QStringList order = LendingStatusOrder();
    ASSERT_EQ(order, QStringList({QStringLiteral("貸出可"), QStringLiteral("蔵書あり"), QStringLiteral("館内のみ"),
                                  QStringLiteral("貸出中"), QStringLiteral("予約中"), QStringLiteral("準備中"),
                                  QStringLiteral("休館中")}));
    // Each status beats every later one, whichever building comes first.
    for (qsizetype better = 0; better < order.size(); ++better) {
        for (qsizetype worse = better + 1; worse < order.size(); ++worse) {
            EXPECT_EQ(BestLendingStatus({order[worse], order[better]}), order[better]);
            EXPECT_EQ(BestLendingStatus({order[better], order[worse]}), order[better]);
        }
    }
    EXPECT_EQ(BestLendingStatus({QStringLiteral("蔵書なし"), QString()}), QString());
    EXPECT_EQ(BestLendingStatus({QStringLiteral("蔵書なし"), QStringLiteral("移動中")}), QStringLiteral("移動中"));
    EXPECT_EQ(BestLendingStatus({QStringLiteral("移動中"), QStringLiteral("休館中")}), QStringLiteral("休館中"));
    EXPECT_EQ(ShelfStateOf(QStringLiteral("館内のみ")), TShelfState::OnShelf);
    EXPECT_EQ(ShelfStateOf(QStringLiteral("貸出中")), TShelfState::Out);
    EXPECT_EQ(ShelfStateOf(QStringLiteral("移動中")), TShelfState::Unknown);
}

TEST(CalilSessionPlan, PacksEveryPairOnceIntoTheFewestSessions)
{
    const auto keys = [](int count) {
        QStringList isbns;
        for (int i = 0; i < count; ++i)
            isbns.append(QStringLiteral("4%1").arg(i, 9, 10, QChar(u'0')));
        return isbns;
    };
    const QStringList eight{QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C"), QStringLiteral("D"),
                            QStringLiteral("E"), QStringLiteral("F"), QStringLiteral("G"), QStringLiteral("H")};
    for (const auto& [isbns, systems, sessions] :
         {std::tuple{100, 8, 8}, std::tuple{40, 3, 2}, std::tuple{1, 8, 1}, std::tuple{101, 1, 2}}) {
        const std::vector<TCalilBlock> plan = PlanCalilSessions(keys(isbns), eight.mid(0, systems));
        EXPECT_EQ(int(plan.size()), sessions) << isbns << " x " << systems;
        QHash<QString, bool> pairs;
        for (const TCalilBlock& block : plan) {
            EXPECT_LE(block.Cost(), kCalilPairsPerSession);
            for (const QString& isbn : block.isbns) {
                for (const QString& system : block.systemIds)
                    EXPECT_FALSE(std::exchange(pairs[isbn + system], true)) << "twice: " << isbn.toStdString();
            }
        }
        EXPECT_EQ(pairs.size(), isbns * systems);
    }

    // What the budget leaves: whole books first, one book in part only when
    // not one whole book fits; nothing is lost either way.
    std::vector<TCalilBlock> rest;
    const TCalilBlock taken = TakeWithin({keys(33), eight.mid(0, 3)}, 50, rest);
    EXPECT_EQ(taken.Cost(), 48);
    ASSERT_EQ(rest.size(), 1u);
    EXPECT_EQ(rest[0].Cost(), 51);
    rest.clear();
    const TCalilBlock part = TakeWithin({keys(2), eight.mid(0, 3)}, 2, rest);
    EXPECT_EQ(part.Cost(), 2);
    EXPECT_EQ(rest[0].Cost() + rest[1].Cost(), 4);
}

TEST(CalilLibraryList, NamesSystemsByTheirPrimaryLibraryAndKeepsOnlyValidOnes)
{
    const QByteArray answer = R"(callback([
  {"systemid": "Tokyo_Mitaka", "systemname": "東京都三鷹市", "formal": "三鷹市立三鷹駅前図書館", "primary": false, "pref": "東京都"},
  {"systemid": "Tokyo_Mitaka", "systemname": "東京都三鷹市", "formal": "三鷹市立図書館", "primary": true, "pref": "東京都"},
  {"systemid": "Tokyo_Chofu", "systemname": "東京都調布市", "formal": "調布市立中央図書館", "primary": "true", "pref": "東京都"},
  {"systemid": "Tokyo_Nerima", "systemname": "東京都練馬区", "formal": "練馬区立光が丘図書館", "primary": false, "pref": "東京都"},
  {"systemid": "Tokyo_A", "systemname": "東京都甲", "formal": "中央図書館", "primary": true, "pref": "東京都"},
  {"systemid": "Tokyo_B", "systemname": "東京都乙", "formal": "中央図書館", "primary": true, "pref": "東京都"},
  {"systemid": "Tokyo_Bad&x=1", "systemname": "東京都悪", "formal": "悪い図書館", "primary": true, "pref": "東京都"},
  {"systemid": "Kanagawa_Yokohama", "systemname": "神奈川県横浜市", "formal": "横浜市中央図書館", "primary": true, "pref": "神奈川県"}
]);)";
    const std::vector<TCalilSystem> systems = ParseCalilLibraryList(answer, QStringLiteral("東京都"));
    EXPECT_EQ(systems, (std::vector<TCalilSystem>{
                           {QStringLiteral("Tokyo_Mitaka"), QStringLiteral("三鷹市立図書館"), QStringLiteral("東京都三鷹市")},
                           {QStringLiteral("Tokyo_B"), QStringLiteral("中央図書館（東京都乙）"), QStringLiteral("東京都乙")},
                           {QStringLiteral("Tokyo_A"), QStringLiteral("中央図書館（東京都甲）"), QStringLiteral("東京都甲")},
                           // No primary library: the system's own name.
                           {QStringLiteral("Tokyo_Nerima"), QStringLiteral("東京都練馬区"), QStringLiteral("東京都練馬区")},
                           {QStringLiteral("Tokyo_Chofu"), QStringLiteral("調布市立中央図書館"), QStringLiteral("東京都調布市")},
                       }));
    EXPECT_THROW(ParseCalilLibraryList(R"({"error": "appkey"})", QStringLiteral("東京都")), CalilError);

    // Beside the libraries the program knows: the built-in is itself, never
    // listed twice; a name another library bears is told apart.
    const TEndpoints endpoints;
    TLibraryList libraries(endpoints);
    ASSERT_TRUE(libraries.AddCalilLibrary(QStringLiteral("調布市立中央図書館"), QStringLiteral("東京都"),
                                          QStringLiteral("Tokyo_Chofu")));
    const std::vector<TCalilSystem> offered =
        OfferableCalilSystems(libraries, {{QStringLiteral("Tokyo_Mitaka"), QStringLiteral("三鷹市立図書館"), QString()},
                                          {QStringLiteral("Tokyo_Chofu"), QStringLiteral("調布市立中央図書館"), QString()},
                                          {QStringLiteral("Tokyo_X"), QStringLiteral("品川区立図書館"), QStringLiteral("東京都某")}});
    ASSERT_EQ(offered.size(), 2u);
    EXPECT_EQ(offered[0].name, QStringLiteral("調布市立中央図書館"));
    EXPECT_EQ(offered[1].name, QStringLiteral("品川区立図書館（東京都某）"));
    EXPECT_FALSE(libraries.AddCalilLibrary(QStringLiteral("調布"), QStringLiteral("東京都"), QStringLiteral("Tokyo_Chofu")));
    EXPECT_FALSE(libraries.AddCalilLibrary(QStringLiteral("x"), QStringLiteral("東京都"), QStringLiteral("a/b")));
    EXPECT_FALSE(libraries.AddCalilLibrary(QStringLiteral("x"), QStringLiteral("東京"), QStringLiteral("Tokyo_Y")));
    EXPECT_FALSE(libraries.AddCalilLibrary(QStringLiteral("x\u001b[2J"), QStringLiteral("東京都"), QStringLiteral("Tokyo_Y")));
}

TEST(CalilLibraryCache, KeepsAListPerPrefectureAndDistrustsWhatItReadsBack)
{
    TempFolder folder;
    const TCalilLibraryCache cache(folder.path());
    EXPECT_FALSE(cache.Read(QStringLiteral("東京都")).has_value());
    const std::vector<TCalilSystem> tokyo{
        {QStringLiteral("Tokyo_Chofu"), QStringLiteral("調布市立中央図書館"), QStringLiteral("東京都調布市")}};
    cache.Write(QStringLiteral("東京都"), tokyo);
    cache.Write(QStringLiteral("島根県"), {});
    EXPECT_EQ(cache.Read(QStringLiteral("東京都")), tokyo);
    EXPECT_EQ(cache.Read(QStringLiteral("島根県")), std::vector<TCalilSystem>());
    EXPECT_EQ(cache.Prefectures(), QStringList({QStringLiteral("東京都"), QStringLiteral("島根県")}));

    // An id that could carry a query of its own, or half a file, reads as no list.
    QByteArray file = folder.read(QStringLiteral("calil-libraries/13.json"));
    folder.write(QStringLiteral("calil-libraries/13.json"), QByteArray(file).replace("Tokyo_Chofu", "Tokyo&x=1"));
    EXPECT_FALSE(cache.Read(QStringLiteral("東京都")).has_value());
    folder.write(QStringLiteral("calil-libraries/13.json"), file.left(file.size() / 2));
    EXPECT_FALSE(cache.Read(QStringLiteral("東京都")).has_value());
}
