#include "registergenerator.h"

#include "common/cp1250.h"
#include "common/sqltext.h"
#include "db/connection.h"
#include "db/dberror.h"

#include <QCryptographicHash>
#include <QIODevice>
#include <QRandomGenerator>
#include <QSaveFile>
#include <QSet>
#include <algorithm>
#include <numeric>

using namespace Qt::StringLiterals;

namespace {

// ---------------------------------------------------------------------------------------------
// Catalogues. Every character here is one that code page 1250 and latin2 both hold at the same
// byte, apart from „ ” – which only come in through the {Q1} {Q2} {D} placeholders.

struct CommitteeKind
{
    const char16_t *name;
    int weight;           // how many resolutions it passes compared with the others
    int perMeeting;       // typical resolutions per meeting
    const char16_t *tags; // subject groups it deals with; * = all
};

const CommitteeKind kCommittees[] = {
    {u"Képviselő-testület", 6, 9, u"*"},
    {u"Pénzügyi Bizottság", 4, 6, u"BPGJ"},
    {u"Ügyrendi Bizottság", 2, 3, u"ARJ"},
    {u"Szociális és Egészségügyi Bizottság", 3, 5, u"SGJ"},
    {u"Városfejlesztési Bizottság", 3, 4, u"UPK"},
    {u"Oktatási, Kulturális és Sport Bizottság", 2, 4, u"CGA"},
    {u"Műszaki és Környezetvédelmi Bizottság", 2, 4, u"EUK"},
    {u"Közbeszerzési Bizottság", 1, 3, u"K"},
    {u"Vagyonkezelési Bizottság", 1, 3, u"P"},
    {u"Idegenforgalmi és Külkapcsolati Bizottság", 1, 3, u"TG"},
};
constexpr int kCommitteeCount = int(std::size(kCommittees));

// A subject: its title as it goes into `targy`, the group it belongs to, and the decision
// points its text is made of. Placeholders are filled by Filler below.
struct SubjectKind
{
    char16_t tag;
    int weight;
    const char16_t *title;
    const char16_t *points[5]; // unused ones stay null
};

const SubjectKind kSubjects[] = {
    {u'B',
     3,
     u"Az önkormányzat {Y}. évi költségvetése",
     {u"{T} az önkormányzat {Y}. évi költségvetéséről szóló rendelet-tervezetet {FT} ezer Ft bevételi és "
      u"kiadási főösszeggel {ELFOGAD}.",
      u"A költségvetés főbb előirányzatai:\r\na) működési bevételek: {FT} ezer Ft,\r\nb) felhalmozási "
      u"bevételek: {FT} ezer Ft,\r\nc) személyi juttatások: {FT} ezer Ft,\r\nd) dologi kiadások: {FT} ezer "
      u"Ft,\r\ne) általános tartalék: {FT} ezer Ft.",
      u"{T} felkéri a jegyzőt, hogy a rendelet kihirdetéséről a helyben szokásos módon gondoskodjon."}},
    {u'B',
     4,
     u"A {Y}. évi költségvetés módosítása",
     {u"{T} az önkormányzat {Y}. évi költségvetésének {N}. módosítását a melléklet szerinti tartalommal "
      u"{ELFOGAD}.",
      u"A módosítás a bevételi és kiadási főösszeget {FT} ezer Ft-tal növeli; a többletbevétel forrása a "
      u"{Y0}. évi pénzmaradvány és az állami támogatások év közbeni változása.",
      u"A fejlesztési célú előirányzatok között {FT} ezer Ft kerül átcsoportosításra {aPROJ} javára."}},
    {u'B',
     2,
     u"Az önkormányzat {Y0}. évi zárszámadása",
     {u"{T} az önkormányzat {Y0}. évi költségvetésének végrehajtásáról szóló beszámolót {FT} ezer Ft "
      u"teljesített bevétellel és {FT} ezer Ft teljesített kiadással {ELFOGAD}.",
      u"{T} megállapítja, hogy a gazdálkodás a jogszabályok és a belső szabályzatok szerint folyt, a "
      u"likviditás az év egészében biztosított volt."}},
    {u'B',
     2,
     u"A helyi adók mértékének felülvizsgálata",
     {u"{T} az építményadó mértékét {Y1}. január 1-jétől változatlanul hagyja, az iparűzési adó mértékét az "
      u"adóalap 1,8%-ában tartja fenn.",
      u"{T} felkéri a jegyzőt, hogy az adózókat a változatlan mértékekről {Q1}Tájékoztató a helyi "
      u"adókról{Q2} címmel értesítse."}},
    {u'P',
     4,
     u"A belterületi {HRSZ} hrsz-ú ingatlan értékesítése",
     {u"{T} a Hársfalva belterület {HRSZ} hrsz-ú, {M2} nm területű, {Q1}kivett beépítetlen terület{Q2} "
      u"megnevezésű önkormányzati ingatlant nyilvános árverésen értékesíti.",
      u"A kikiáltási ár a független értékbecslő által megállapított forgalmi érték, {FT2} + áfa; a "
      u"licitlépcső a kikiáltási ár 5%-a.",
      u"{T} felhatalmazza a polgármestert az adásvételi szerződés aláírására, azzal, hogy a vételárat a "
      u"szerződés aláírásától számított 30 napon belül meg kell fizetni."}},
    {u'P',
     3,
     u"A külterületi {HRSZ} hrsz-ú ingatlan megvásárlása",
     {u"{T} egyetért a Hársfalva külterület {HRSZ} hrsz-ú, {M2} nm területű szántó megvásárlásával {FT2} "
      u"vételáron.",
      u"A vételár fedezete az önkormányzat {Y}. évi költségvetésének ingatlanvásárlásra elkülönített "
      u"előirányzata."}},
    {u'P',
     3,
     u"A {UTCA} alatti önkormányzati helyiség bérbeadása",
     {u"{T} a {UTCA} szám alatti, {M2} nm alapterületű nem lakás céljára szolgáló helyiséget {NEV} egyéni "
      u"vállalkozó részére határozott időre, {Y}{D}{Y2} közötti időszakra bérbe adja.",
      u"A havi bérleti díj {FT2} + áfa, amely minden év január 1-jén a KSH által közzétett fogyasztói "
      u"árindex mértékével emelkedik.",
      u"A bérlő a helyiségen átalakítást csak a bérbeadó előzetes írásbeli hozzájárulásával végezhet."}},
    {u'G',
     4,
     u"Civil szervezetek {Y}. évi támogatása",
     {u"{T} a civil szervezetek {Y}. évi támogatására kiírt pályázat alapján a következő támogatásokat ítéli "
      u"meg:\r\n- {SZ1}: {FT2},\r\n- {SZ2}: {FT2},\r\n- {SZ3}: {FT2}.",
      u"A támogatott szervezetek a támogatás felhasználásáról {Y1}. január 31-ig kötelesek elszámolni; az el "
      u"nem számolt összeget vissza kell fizetni.",
      u"{T} felhatalmazza a polgármestert a támogatási szerződések aláírására."}},
    {u'G',
     3,
     u"{ASZERV} támogatási kérelme",
     {u"{T} {aSZERV} kérelmére a szervezet {Y}. évi működési kiadásaihoz {FT2} vissza nem térítendő "
      u"támogatást nyújt.",
      u"A támogatás fedezete az önkormányzat {Y}. évi költségvetésének civil szervezetek támogatására "
      u"szolgáló kerete."}},
    {u'A',
     2,
     u"Alpolgármester megválasztása",
     {u"{T} titkos szavazással {NEV} képviselőt társadalmi megbízatású alpolgármesterré választja.",
      u"Az alpolgármester tiszteletdíját a Magyarország helyi önkormányzatairól szóló törvény szerint "
      u"állapítja meg."}},
    {u'A',
     3,
     u"Bizottsági külső tag megválasztása",
     {u"{T} a bizottság külső tagjává {NEV} hársfalvi lakost választja meg.",
      u"A megválasztott tag az eskü letételét követően gyakorolhatja jogait; vagyonnyilatkozatát 30 napon "
      u"belül köteles benyújtani."}},
    {u'A',
     2,
     u"{AINT} vezetőjének megbízása",
     {u"{T} {aINT} magasabb vezetői feladatainak ellátásával {Y}. augusztus 1-jétől öt évre {NEV} pályázót "
      u"bízza meg.",
      u"A vezető illetményét a vonatkozó jogszabályok szerint a munkáltatói jogkör gyakorlója állapítja "
      u"meg."}},
    {u'R',
     3,
     u"A Szervezeti és Működési Szabályzat módosítása",
     {u"{T} a Szervezeti és Működési Szabályzatról szóló rendelet módosítását a melléklet szerinti "
      u"tartalommal {ELFOGAD}.",
      u"A módosítás a bizottságok feladat- és hatáskörét, valamint az elektronikus ülés szabályait érinti; a "
      u"rendelet a kihirdetését követő napon lép hatályba."}},
    {u'R',
     3,
     u"A közterület-használatról szóló rendelet módosítása",
     {u"{T} a közterület-használatról szóló rendelet módosítását {ELFOGAD}; a közterület-használati díjak "
      u"{Y1}. január 1-jétől 5%-kal emelkednek.",
      u"A rendezvények céljára igénybe vett közterületért {Q1}non-profit{Q2} rendezvény esetén díjat nem "
      u"kell fizetni."}},
    {u'R',
     2,
     u"A településképi rendelet módosítása",
     {u"{T} a településkép védelméről szóló rendelet módosítását a partnerségi egyeztetés lezárását követően "
      u"{ELFOGAD}.",
      u"A beérkezett {N} észrevételből {T0} a kiemelt területekre vonatkozó javaslatokat elfogadja, a többit "
      u"a melléklet szerinti indokolással elutasítja."}},
    {u'K',
     4,
     u"{APROJ} tárgyú közbeszerzési eljárás eredménye",
     {u"{T} {aQPROJ} tárgyú, nyílt közbeszerzési eljárást eredményesnek nyilvánítja.",
      u"Az eljárás nyertese a {CEG}, amely az összességében legelőnyösebb ajánlatot tette {FT} ezer Ft + áfa "
      u"ajánlati árral.",
      u"Második legkedvezőbb ajánlattevő: {CEG}",
      u"{T} felhatalmazza a polgármestert a vállalkozási szerződés megkötésére."}},
    {u'K',
     2,
     u"Közbeszerzési terv {Y}",
     {u"{T} az önkormányzat {Y}. évi közbeszerzési tervét a melléklet szerint {ELFOGAD}.",
      u"A terv módosítására év közben a beszerzési igények változása esetén kerülhet sor."}},
    {u'S',
     4,
     u"Rendkívüli települési támogatás iránti kérelem",
     {u"{T} {NEV} hársfalvi lakos kérelmére {FT2} összegű rendkívüli települési támogatást állapít meg.",
      u"A támogatást a kérelmező a határozat közlésétől számított 8 napon belül a Polgármesteri Hivatal "
      u"pénztárában veheti fel."}},
    {u'S',
     2,
     u"Szociális tűzifa-támogatás {Y}",
     {u"{T} a szociális célú tűzifa-támogatás {Y}. évi helyi szabályait a melléklet szerint {ELFOGAD}.",
      u"Háztartásonként legfeljebb 5 köbméter tűzifa adható; a jogosultság feltételeit a jegyző ellenőrzi."}},
    {u'S',
     2,
     u"A háziorvosi feladat-ellátási szerződés módosítása",
     {u"{T} egyetért a {N}. számú háziorvosi körzet feladat-ellátási szerződésének módosításával; a "
      u"rendelési idő hétfőtől péntekig 8{D}12 óráig tart.",
      u"{T} felkéri a polgármestert, hogy a módosított szerződést az egészségbiztosítási pénztárnak küldje "
      u"meg."}},
    {u'J',
     3,
     u"Beszámoló a lejárt határidejű határozatok végrehajtásáról",
     {u"{T} a lejárt határidejű határozatok végrehajtásáról szóló beszámolót elfogadja.",
      u"{T} megállapítja, hogy a beszámolási időszakban {N} határozat végrehajtása folyamatban van, azok "
      u"határidejét a melléklet szerint meghosszabbítja."}},
    {u'J',
     2,
     u"A Polgármesteri Hivatal {Y0}. évi tevékenységéről szóló beszámoló",
     {u"{T} a Polgármesteri Hivatal {Y0}. évi tevékenységéről szóló beszámolót elfogadja, és megköszöni a "
      u"hivatal dolgozóinak munkáját."}},
    {u'J',
     2,
     u"A bizottság {Y}. évi munkaterve",
     {u"{T} {Y}. évi munkatervét a melléklet szerint elfogadja.",
      u"A rendes ülések időpontja a hónap második keddje; a munkatervtől eltérni az elnök javaslatára "
      u"lehet."}},
    {u'U',
     4,
     u"Pályázat benyújtása: {PROJ}",
     {u"{T} egyetért azzal, hogy az önkormányzat pályázatot nyújtson be {aPROJ} támogatására.",
      u"A beruházás teljes költsége {TOTAL} ezer Ft, a pályázott támogatás {SUPPORT} ezer Ft; a saját "
      u"forrást {Q1}{OWN} ezer Ft{Q2} összegben az önkormányzat {Y}. évi költségvetésének fejlesztési "
      u"tartaléka biztosítja.",
      u"{T} felhatalmazza a polgármestert a pályázat benyújtására és a szükséges nyilatkozatok "
      u"megtételére."}},
    {u'U',
     2,
     u"Utcanév megállapítása",
     {u"{T} a belterületi {HRSZ} hrsz-ú közterület nevét {Q1}{UTCANEV}{Q2} névben állapítja meg.",
      u"A névadás a közterület mentén lakók előzetes véleményének kikérésével történt; a névtáblák "
      u"kihelyezéséről a Településüzemeltetési Kft. gondoskodik."}},
    {u'U',
     2,
     u"A helyi építési szabályzat módosítása",
     {u"{T} a helyi építési szabályzat {HRSZ} hrsz-ú ingatlanra vonatkozó módosítását kezdeményezi, és az "
      u"eljárást tárgyalásos eljárásként folytatja le.",
      u"A módosítással kapcsolatos tervezési költségeket {Q1}a kezdeményező{Q2} {D} a településrendezési "
      u"szerződés szerint {D} viseli."}},
    {u'C',
     3,
     u"{AINT} alapító okiratának módosítása",
     {u"{T} {aINT} alapító okiratának módosítását a melléklet szerinti tartalommal jóváhagyja.",
      u"A módosítás a Magyar Államkincstár törzskönyvi nyilvántartásába történő bejegyzéssel lép hatályba."}},
    {u'C',
     2,
     u"Hársfalva Díszpolgára cím adományozása",
     {u"{T} a Hársfalva Díszpolgára címet {NEV} részére adományozza a település kulturális életében végzett "
      u"több évtizedes munkája elismeréseként.",
      u"A cím átadására az augusztus 20-i ünnepségen kerül sor."}},
    {u'C',
     2,
     u"Sportegyesületek {Y}. évi működési támogatása",
     {u"{T} {aSZERV} részére {FT2} működési támogatást nyújt az utánpótlás-nevelés költségeire."}},
    {u'E',
     3,
     u"Víziközmű-vagyon gördülő fejlesztési terve {Y}{D}{Y15}",
     {u"{T} a víziközmű-rendszer {Y}{D}{Y15} közötti időszakra szóló gördülő fejlesztési tervét a "
      u"szolgáltató javaslata szerint {ELFOGAD}.",
      u"Az első évben elvégzendő felújítások értéke {FT} ezer Ft, amelynek fedezete a használati díj."}},
    {u'E',
     2,
     u"A hulladékgazdálkodási közszolgáltatás {Y1}. évi díja",
     {u"{T} a hulladékgazdálkodási közszolgáltatási szerződés {Y1}. évi díjmellékletét {ELFOGAD}.",
      u"Az őszi lomtalanítás időpontja: {DATUM}"}},
    {u'E',
     2,
     u"Fakivágási kérelem elbírálása",
     {u"{T} a {UTCA} előtti közterületen álló {N} db elöregedett, balesetveszélyes fa kivágásához "
      u"hozzájárul, azzal, hogy a kérelmező a kivágott fák helyett {N} db őshonos fát ültet."}},
    {u'T',
     2,
     u"Testvérvárosi együttműködési megállapodás",
     {u"{T} egyetért a {TESTVER} településsel kötendő testvérvárosi együttműködési megállapodással.",
      u"Az együttműködés kiterjed a kulturális, oktatási, sport- és ifjúsági cserékre; a {Y}. évi program "
      u"költsége {FT2}."}},
    {u'T',
     2,
     u"A {Y}. évi városnapi rendezvények programja",
     {u"{T} a {Y}. évi városnapi rendezvénysorozat programját elfogadja, a rendezvények költségére {FT2} "
      u"keretet biztosít.",
      u"A rendezvény fővédnöke a polgármester."}},
};

// A meeting usually opens with its agenda.
const char16_t kAgendaTitle[] = u"Az ülés napirendjének elfogadása";
const char16_t kAgendaText[] = u"{T} az ülés napirendjét a meghívóban szereplő napirendi pontokkal, {N} "
                               u"napirendi pont tárgyalásával elfogadja.";

const char16_t *const kIntro[] = {
    u"{T} megtárgyalta {aTITLE} tárgyú előterjesztést, és a következő határozatot hozza:",
    u"{T} {aTITLE} tárgyában az alábbi határozatot hozza:",
    u"{T} megtárgyalta a polgármester előterjesztését, és az alábbiak szerint határoz:",
};

const char16_t *const kClosingPoints[] = {
    u"{T} felkéri a polgármestert, hogy a döntésről az érintetteket 15 napon belül írásban értesítse.",
    u"{T} felhatalmazza a polgármestert a döntés végrehajtásához szükséges nyilatkozatok megtételére és "
    u"okiratok aláírására.",
    u"A döntés végrehajtásához szükséges fedezetet az önkormányzat {Y}. évi költségvetésének általános "
    u"tartaléka terhére biztosítja.",
    u"{T} felkéri a jegyzőt, hogy a végrehajtás eredményéről a soron következő rendes ülésen számoljon be.",
    u"A határozat végrehajtásának ellenőrzéséről a Pénzügyi Bizottság gondoskodik.",
    u"{T} felkéri a polgármestert, hogy a szükséges egyeztetéseket {D} különös tekintettel a működési "
    u"költségekre {D} folytassa le.",
};

const char16_t *const kPeople[] = {
    u"Kovács István",    u"Dr. Nagy Erzsébet", u"Tóth Gábor",       u"Szabó Ildikó",  u"Horváth Ödön",
    u"Varga Zsuzsanna",  u"Kiss Péter",        u"Molnár Krisztina", u"Németh Lőrinc", u"Farkas Gyöngyi",
    u"Balogh Ferenc",    u"Papp Ágnes",        u"Takács Ernő",      u"Juhász Éva",    u"Lakatos Győző",
    u"Mészáros Katalin", u"Oláh Dezső",        u"Simon Enikő",      u"Fekete Zoltán", u"Szűcs Márta",
};
const char16_t *const kOrganisations[] = {
    u"Hársfalvi Sportegyesület",
    u"Hársfalvi Nyugdíjas Klub",
    u"Polgárőr Egyesület",
    u"Önkéntes Tűzoltó Egyesület",
    u"Hársfalvi Népdalkör",
    u"Ifjúsági Fúvószenekar Egyesület",
    u"Mozgáskorlátozottak Helyi Csoportja",
    u"Hársfalvi Horgászegyesület",
    u"Őszirózsa Nyugdíjas Egyesület",
    u"Gyermekekért Alapítvány",
};
const char16_t *const kInstitutions[] = {
    u"Hársfalvi Napsugár Óvoda",       u"Hársfalvi Általános Iskola", u"Városi Könyvtár és Művelődési Ház",
    u"Egyesített Szociális Intézmény", u"Hársfalvi Bölcsőde",
};
const char16_t *const kProjects[] = {
    u"óvoda energetikai korszerűsítése",
    u"Fő utca felújítása",
    u"csapadékvíz-elvezető rendszer fejlesztése",
    u"közvilágítás korszerűsítése",
    u"orvosi rendelő akadálymentesítése",
    u"kerékpárút építése",
    u"iskolai tornaterem felújítása",
    u"önkormányzati utak burkolatfelújítása",
    u"piactér fejlesztése",
    u"Művelődési Ház fűtéskorszerűsítése",
};
const char16_t *const kCompanies[] = {
    u"Hársépítő Kft.", u"Útépítő és Szolgáltató Zrt.", u"Duna-Mérnök Kft.", u"Villamos Szerelő Bt.",
    u"Zöldterv Kft.",  u"Kőműves és Társa Kft.",
};
const char16_t *const kStreets[] = {
    u"Kossuth Lajos utca",   u"Petőfi Sándor utca", u"Rákóczi Ferenc út",
    u"Dózsa György út",      u"Szabadság tér",      u"Táncsics Mihály utca",
    u"Jókai Mór utca",       u"Béke utca",          u"Fő utca",
    u"Széchenyi István tér",
};
const char16_t *const kNewStreetNames[] = {
    u"Hársfa utca", u"Szőlőhegy utca", u"Bükkös dűlő", u"Gyümölcsös utca", u"Kőbánya utca",
};
const char16_t *const kTwinTowns[] = {
    u"Szentgyörgyvár (Románia)",
    u"Bad Lindenau (Németország)",
    u"Dolná Lipa (Szlovákia)",
};
const char16_t *const kResponsible[] = {
    u"polgármester",
    u"jegyző",
    u"polgármester, jegyző",
    u"alpolgármester",
    u"bizottság elnöke",
    u"polgármester, pénzügyi irodavezető",
    u"jegyző, műszaki irodavezető",
    u"intézményvezető",
    u"polgármester, aljegyző",
};
const char16_t *const kAttachments[] = {
    u"szerzodes.pdf",         u"eloterjesztes.pdf",
    u"előterjesztés.docx",    u"jegyzőkönyv-kivonat.pdf",
    u"térképvázlat.jpg",      u"költségvetés.xlsx",
    u"árajánlat.pdf",         u"értékbecslés.pdf",
    u"pályázati adatlap.pdf", u"megállapodás tervezet.docx",
    u"műszaki leírás.pdf",
};
const char16_t *const kMonths[] = {
    u"január", u"február",   u"március",    u"április", u"május",    u"június",
    u"július", u"augusztus", u"szeptember", u"október", u"november", u"december",
};

struct UserKind
{
    const char16_t *login;
    const char16_t *fullName;
    const char16_t *password;
    bool admin;
    bool masterData;
};
const UserKind kUsers[] = {
    {u"admin", u"Rendszergazda", u"admin", true, true},
    {u"kovacsne", u"Kovácsné Szabó Éva", u"jelszó", false, true},
    {u"nagyp", u"Nagy Péter", u"nagyp", false, false},
    {u"tothg", u"Tóth Győző", u"tőzsér", false, false},
};

template <typename T, std::size_t N> const T &Pick(QRandomGenerator &rng, const T (&items)[N])
{
    return items[rng.bounded(int(N))];
}

QString Str(const char16_t *text)
{
    return QString::fromUtf16(text);
}

bool StartsWithVowel(const QString &text)
{
    for (const QChar ch : text) {
        if (ch == u'„' || ch == u'"')
            continue;
        return u"aáeéiíoóöőuúüűAÁEÉIÍOÓÖŐUÚÜŰ"_s.contains(ch);
    }
    return false;
}

// "a" or "az" before a word, as Hungarian wants it.
QString WithArticle(const QString &word)
{
    return (StartsWithVowel(word) ? u"az "_s : u"a "_s) + word;
}

QString Capitalised(const QString &text)
{
    return text.isEmpty() ? text : text.left(1).toUpper() + text.mid(1);
}

// 1234567 → "1 234 567", the way Hungarian documents write amounts.
QString GroupedNumber(qint64 value)
{
    QString digits = QString::number(value);
    for (qsizetype i = digits.size() - 3; i > 0; i -= 3)
        digits.insert(i, u' ');
    return digits;
}

QString HungarianDate(QDate date)
{
    return u"%1. %2 %3."_s.arg(date.year()).arg(Str(kMonths[date.month() - 1])).arg(date.day());
}

QDate EndOfMonth(QDate date)
{
    return QDate(date.year(), date.month(), date.daysInMonth());
}

// Fills the placeholders of the text catalogues for one record.
class Filler
{
public:
    Filler(QRandomGenerator &rng, const GeneratorOptions &options, const QString &committee, QDate datum)
        : m_rng(rng), m_committee(committee), m_datum(datum), m_typographic(options.typographic)
    {
    }

    QString fill(const QString &templ, const QString &title = {})
    {
        QString out;
        out.reserve(templ.size() + 64);
        qsizetype pos = 0;
        while (pos < templ.size()) {
            const qsizetype open = templ.indexOf(u'{', pos);
            if (open < 0) {
                out += QStringView(templ).mid(pos);
                break;
            }
            const qsizetype close = templ.indexOf(u'}', open);
            out += QStringView(templ).mid(pos, open - pos);
            out += value(QStringView(templ).mid(open + 1, close - open - 1), title);
            pos = close + 1;
        }
        return out;
    }

    // Values that the subject and its text share (the same plot, the same organisation...).
    void pinShared()
    {
        m_hrsz = m_rng.bounded(2) ? u"%1"_s.arg(m_rng.bounded(100, 3000))
                                  : u"%1/%2"_s.arg(m_rng.bounded(100, 3000)).arg(m_rng.bounded(1, 30));
        m_street = u"%1 %2."_s.arg(Str(Pick(m_rng, kStreets))).arg(m_rng.bounded(1, 80));
        // Three different organisations for a list of grants; the first is the one named alone.
        constexpr int orgs = int(std::size(kOrganisations));
        const int first = m_rng.bounded(orgs);
        const int step = m_rng.bounded(1, orgs / 2);
        for (int i = 0; i < 3; ++i)
            m_listed[i] = Str(kOrganisations[(first + i * step) % orgs]);
        m_organisation = m_listed[0];
        m_institution = Str(Pick(m_rng, kInstitutions));
        m_project = Str(Pick(m_rng, kProjects));
        m_total = m_rng.bounded(20000, 900000);
        m_own = m_total * m_rng.bounded(5, 31) / 100;
    }

private:
    QString quote(bool opening) const
    {
        if (m_typographic)
            return opening ? u"„"_s : u"”"_s;
        return u"\""_s;
    }

    QString value(QStringView key, const QString &title)
    {
        const int year = m_datum.year();
        if (key == u"T")
            return Capitalised(WithArticle(m_committee));
        if (key == u"T0")
            return WithArticle(m_committee);
        if (key == u"ELFOGAD")
            return m_committee == Str(kCommittees[0].name)
                       ? u"elfogadja"_s
                       : u"a Képviselő-testületnek elfogadásra javasolja"_s;
        if (key == u"Y")
            return QString::number(year);
        if (key == u"Y0")
            return QString::number(year - 1);
        if (key == u"Y1")
            return QString::number(year + 1);
        if (key == u"Y2")
            return QString::number(year + 2);
        if (key == u"Y15")
            return QString::number(year + 14);
        if (key == u"Q1")
            return quote(true);
        if (key == u"Q2")
            return quote(false);
        if (key == u"D")
            return m_typographic ? u"–"_s : u"-"_s;
        if (key == u"FT")
            return GroupedNumber(qint64(m_rng.bounded(50, 900)) * (m_rng.bounded(2) ? 1000 : 10) +
                                 m_rng.bounded(1000));
        if (key == u"FT2")
            return GroupedNumber(qint64(m_rng.bounded(5, 500)) * 10000) + u" Ft"_s;
        if (key == u"N")
            return QString::number(m_rng.bounded(2, 12));
        if (key == u"M2")
            return GroupedNumber(m_rng.bounded(80, 6000));
        if (key == u"HRSZ")
            return m_hrsz;
        if (key == u"UTCA")
            return m_street;
        if (key.size() == 3 && key.startsWith(u"SZ"))
            return m_listed[key[2].unicode() - u'1'];
        if (key == u"SZERV")
            return m_organisation;
        if (key == u"aSZERV")
            return WithArticle(m_organisation);
        if (key == u"ASZERV")
            return Capitalised(WithArticle(m_organisation));
        if (key == u"INT")
            return m_institution;
        if (key == u"aINT")
            return WithArticle(m_institution);
        if (key == u"AINT")
            return Capitalised(WithArticle(m_institution));
        if (key == u"PROJ")
            return m_project;
        if (key == u"aPROJ")
            return WithArticle(m_project);
        if (key == u"APROJ")
            return Capitalised(WithArticle(m_project));
        if (key == u"aQPROJ")
            return WithArticle(quote(true) + m_project + quote(false));
        if (key == u"TOTAL")
            return GroupedNumber(m_total);
        if (key == u"SUPPORT")
            return GroupedNumber(m_total - m_own);
        if (key == u"OWN")
            return GroupedNumber(m_own);
        if (key == u"NEV")
            return Str(Pick(m_rng, kPeople));
        if (key == u"CEG")
            return Str(Pick(m_rng, kCompanies));
        if (key == u"UTCANEV")
            return Str(Pick(m_rng, kNewStreetNames));
        if (key == u"TESTVER")
            return Str(Pick(m_rng, kTwinTowns));
        if (key == u"DATUM")
            return HungarianDate(m_datum.addDays(m_rng.bounded(20, 120)));
        if (key == u"aTITLE")
            return WithArticle(quote(true) + title + quote(false));
        Q_ASSERT_X(false, "Filler", "unknown placeholder");
        return {};
    }

    QRandomGenerator &m_rng;
    QString m_committee;
    QDate m_datum;
    bool m_typographic;
    QString m_hrsz, m_street, m_organisation, m_institution, m_project;
    QString m_listed[3];
    qint64 m_total = 0, m_own = 0;
};

// Subject kinds a committee deals with.
QList<int> SubjectsFor(const CommitteeKind &committee)
{
    const QString tags = Str(committee.tags);
    QList<int> kinds;
    for (int i = 0; i < int(std::size(kSubjects)); ++i) {
        if (tags == u"*"_s || tags.contains(QChar(kSubjects[i].tag)))
            kinds << i;
    }
    return kinds;
}

int PickWeighted(QRandomGenerator &rng, const QList<int> &kinds)
{
    int total = 0;
    for (int k : kinds)
        total += kSubjects[k].weight;
    int r = rng.bounded(total);
    for (int k : kinds) {
        r -= kSubjects[k].weight;
        if (r < 0)
            return k;
    }
    return kinds.last();
}

QString Md5Hex(const QString &password)
{
    // The digest the server gives for MD5() on a latin2 connection: that of the cp1250 bytes.
    return QString::fromLatin1(QCryptographicHash::hash(ToCp1250(password), QCryptographicHash::Md5).toHex());
}

QString NullOr(const QString &text)
{
    return text.isEmpty() ? u"NULL"_s : SqlQuoted(text);
}

QString RecordValues(const GeneratedRecord &r)
{
    QString row;
    row.reserve(r.hatarozat.size() + 300);
    row += u'(' + QString::number(r.iktato) + u',' + QString::number(r.ev) + u',' +
           QString::number(r.csoport) + u',' + QString::number(r.az) + u',' + SqlDate(r.datum) + u',' +
           SqlQuoted(r.targy) + u',' + SqlQuoted(r.hatarozat) + u',' + (r.hasDeadline ? u"'I'"_s : u"'N'"_s) +
           u',' + (r.hasDeadline ? SqlDate(r.datHatid) : u"NULL"_s) + u',' + NullOr(r.felelos) + u',' +
           (r.statusz ? QString::number(r.statusz) : u"NULL"_s);
    for (const QString &f : r.filenev)
        row += u',' + NullOr(f);
    for (const QString &f : r.origfilenev)
        row += u',' + NullOr(f);
    row += u')';
    return row;
}

} // namespace

RegisterGenerator::RegisterGenerator(GeneratorOptions options) : m_options(std::move(options))
{
    m_options.records = std::max(0, m_options.records);
    m_options.committees = std::clamp(m_options.committees, 1, kCommitteeCount);
    m_options.lastYear = std::max(m_options.firstYear, m_options.lastYear);
    if (!m_options.until.isValid())
        m_options.until = QDate(m_options.lastYear, 12, 31);
    m_options.chunkRows = std::max(1, m_options.chunkRows);

    for (int i = 0; i < m_options.committees; ++i)
        m_committees.append({i + 1, Str(kCommittees[i].name)});
    int id = 1;
    for (const UserKind &u : kUsers)
        m_users.append({id++, Str(u.login), Str(u.fullName), Str(u.password), u.admin, u.masterData});
    planSlots();
}

void RegisterGenerator::planSlots()
{
    QRandomGenerator rng(m_options.seed);

    // Meetings fall on working days between mid-January and mid-December, never after `until`.
    struct Cell
    {
        int year;
        int committee; // index into kCommittees
        QList<QDate> days;
        double weight;
        int count = 0;
    };
    QList<Cell> cells;
    double totalWeight = 0;
    for (int year = m_options.firstYear; year <= m_options.lastYear; ++year) {
        QList<QDate> days;
        const QDate last = std::min(QDate(year, 12, 18), m_options.until);
        for (QDate d(year, 1, 10); d <= last; d = d.addDays(1)) {
            if (d.dayOfWeek() <= 5 && !(d.month() == 8 && d.day() < 15)) // quiet summer
                days << d;
        }
        if (days.isEmpty())
            continue;
        for (int c = 0; c < m_options.committees; ++c) {
            const double w = double(days.size()) * kCommittees[c].weight;
            cells.append({year, c, days, w});
            totalWeight += w;
        }
    }
    if (cells.isEmpty() || m_options.records == 0)
        return;

    // Largest-remainder split of the record count over years and committees.
    int given = 0;
    QList<std::pair<double, int>> remainders;
    for (int i = 0; i < cells.size(); ++i) {
        const double exact = m_options.records * cells[i].weight / totalWeight;
        cells[i].count = int(exact);
        given += cells[i].count;
        remainders.append({exact - cells[i].count, i});
    }
    std::stable_sort(remainders.begin(), remainders.end(),
                     [](const auto &a, const auto &b) { return a.first > b.first; });
    for (int i = 0; given < m_options.records; ++i, ++given)
        ++cells[remainders[i % remainders.size()].second].count;

    m_slots.reserve(m_options.records);
    for (Cell &cell : cells) {
        if (cell.count == 0)
            continue;
        const CommitteeKind &kind = kCommittees[cell.committee];
        const int perMeeting = std::max(1, kind.perMeeting + rng.bounded(-1, 2));
        // Even a small register shows several meetings a year, each with a few resolutions.
        const int meetings = std::clamp(std::max(cell.count / perMeeting, std::min(cell.count / 2, 6)), 1,
                                        int(cell.days.size()));
        // A random choice of distinct days, then in calendar order.
        for (int i = 0; i < meetings; ++i)
            std::swap(cell.days[i], cell.days[i + rng.bounded(int(cell.days.size()) - i)]);
        QList<QDate> dates = cell.days.mid(0, meetings);
        std::sort(dates.begin(), dates.end());
        QList<int> sizes(meetings, 1);
        for (int i = meetings; i < cell.count; ++i)
            ++sizes[rng.bounded(meetings)];
        int az = 0;
        for (int m = 0; m < meetings; ++m) {
            for (int k = 0; k < sizes[m]; ++k)
                m_slots.push_back({dates[m], cell.committee + 1, ++az, k == 0});
        }
    }
    // Ids follow the order in which the records were entered: by date.
    std::stable_sort(m_slots.begin(), m_slots.end(), [](const Slot &a, const Slot &b) {
        if (a.datum != b.datum)
            return a.datum < b.datum;
        if (a.csoport != b.csoport)
            return a.csoport < b.csoport;
        return a.az < b.az;
    });
}

void RegisterGenerator::forEachRecord(const std::function<void(const GeneratedRecord &)> &sink) const
{
    QRandomGenerator rng(m_options.seed ^ 0x9E3779B9u);
    QList<QList<int>> subjectsOf;
    for (int c = 0; c < m_options.committees; ++c)
        subjectsOf.append(SubjectsFor(kCommittees[c]));

    GeneratedRecord r;
    int iktato = 0;
    for (const Slot &slot : m_slots) {
        r = GeneratedRecord();
        r.iktato = ++iktato;
        r.ev = slot.datum.year();
        r.csoport = slot.csoport;
        r.az = slot.az;
        r.datum = slot.datum;
        const QString committee = m_committees[slot.csoport - 1].name;
        Filler filler(rng, m_options, committee, slot.datum);
        filler.pinShared();

        QStringList lines;
        const bool agenda = slot.firstOfMeeting && rng.bounded(100) < 60;
        if (agenda) {
            r.targy = Str(kAgendaTitle);
            lines << filler.fill(Str(kAgendaText));
        } else {
            const SubjectKind &kind = kSubjects[PickWeighted(rng, subjectsOf[slot.csoport - 1])];
            r.targy = filler.fill(Str(kind.title));
            // Short resolutions are one sentence; the others are numbered points.
            const int own = int(std::count_if(std::begin(kind.points), std::end(kind.points),
                                              [](const char16_t *p) { return p != nullptr; }));
            const int wanted = rng.bounded(100) < 25 ? 1 : own + rng.bounded(5);
            QStringList points;
            for (int i = 0; i < own && points.size() < wanted; ++i)
                points << filler.fill(Str(kind.points[i]));
            // Closing points in a random order, none twice.
            QList<int> closing(int(std::size(kClosingPoints)));
            std::iota(closing.begin(), closing.end(), 0);
            for (int i = 0; points.size() < wanted && i < closing.size(); ++i) {
                std::swap(closing[i], closing[i + rng.bounded(int(closing.size()) - i)]);
                points << filler.fill(Str(kClosingPoints[closing[i]]));
            }
            if (points.size() == 1) {
                lines << points.first();
            } else {
                lines << filler.fill(Str(Pick(rng, kIntro)), r.targy);
                int length = lines.first().size();
                for (int i = 0; i < points.size() && length < 1400; ++i) {
                    lines << u"%1. %2"_s.arg(i + 1).arg(points[i]);
                    length += lines.last().size();
                }
            }
        }

        if (!agenda && rng.bounded(100) < 40) {
            r.hasDeadline = true;
            const int months = rng.bounded(1, 10);
            r.datHatid = rng.bounded(4) ? EndOfMonth(slot.datum.addMonths(months))
                                        : QDate(slot.datum.addMonths(months).year(), 12, 31);
            r.felelos = Str(Pick(rng, kResponsible));
            if (r.datHatid <= m_options.until)
                r.statusz = rng.bounded(100) < 90 ? 2 : 1;
            else
                r.statusz = rng.bounded(100) < 10 ? 2 : 1;
            lines << u"Határidő: "_s + HungarianDate(r.datHatid) << u"Felelős: "_s + r.felelos;
        } else if (rng.bounded(100) < 15) {
            lines << u"Határidő: azonnal"_s;
        }
        r.hatarozat = lines.join(u"\r\n"_s);

        if (rng.bounded(100) < 20) {
            const int roll = rng.bounded(10);
            const int count = roll < 7 ? 1 : roll < 9 ? 2 : 3;
            for (int s = 0; s < count; ++s) {
                const QString orig = Str(Pick(rng, kAttachments));
                const QString ext = orig.mid(orig.lastIndexOf(u'.'));
                r.filenev[s] = u"%1-%2%3"_s.arg(r.iktato, 7, 10, QChar(u'0')).arg(s + 1).arg(ext);
                r.origfilenev[s] = orig;
            }
        }
        sink(r);
    }
}

void RegisterGenerator::writeSql(const std::function<void(const QString &statement)> &put) const
{
    put(u"UPDATE tulajdonos SET tulajdonos = 'Hársfalva Város Önkormányzata', irsz = '2099', "
        "varos = 'Hársfalva', telefon = '+36 26 555 0100' WHERE tulajdonos_id = 1;"_s);

    QString sql = u"INSERT INTO csoport (csoport, csoport_nev) VALUES\n"_s;
    for (const GeneratedCommittee &c : m_committees)
        sql += u'(' + QString::number(c.id) + u',' + SqlQuoted(c.name) + u"),\n"_s;
    sql.chop(2);
    put(sql + u';');

    sql = u"INSERT INTO felhasznalo (felhkod, felhasznalo, felhasznalo_nev, jelszomd5, rendszergazda, "
          "torzsszerkeszt) VALUES\n"_s;
    for (const GeneratedUser &u : m_users) {
        sql += u'(' + QString::number(u.id) + u',' + SqlQuoted(u.login) + u',' + SqlQuoted(u.fullName) +
               u',' + SqlQuoted(Md5Hex(u.password)) + u',' + (u.admin ? u"'I'"_s : u"'N'"_s) + u',' +
               (u.masterData ? u"'I'"_s : u"'N'"_s) + u"),\n"_s;
    }
    sql.chop(2);
    put(sql + u';');

    const QString head = u"INSERT INTO iktato (iktato, ev, csoport, az, datum, targy, hatarozat, van_hatid, "
                         "dat_hatid, felelos, statusz, filenev, filenev2, filenev3, origfilenev, "
                         "origfilenev2, origfilenev3) VALUES\n"_s;
    QStringList subjects;
    QSet<QString> seen;
    int rows = 0;
    sql.clear();
    forEachRecord([&](const GeneratedRecord &r) {
        if (!seen.contains(r.targy)) {
            seen.insert(r.targy);
            subjects << r.targy;
        }
        sql += rows == 0 ? head : u",\n"_s;
        sql += RecordValues(r);
        if (++rows == m_options.chunkRows) {
            put(sql + u';');
            sql.clear();
            rows = 0;
        }
    });
    if (rows)
        put(sql + u';');

    // The catalogue's collation ignores accents and case, so two subjects may count as one.
    for (qsizetype i = 0; i < subjects.size(); i += m_options.chunkRows) {
        sql = u"INSERT IGNORE INTO targy (targy) VALUES\n"_s;
        const qsizetype end = std::min(subjects.size(), i + m_options.chunkRows);
        for (qsizetype j = i; j < end; ++j)
            sql += u'(' + SqlQuoted(subjects[j]) + (j + 1 < end ? u"),\n"_s : u")"_s);
        put(sql + u';');
    }
}

void WriteRegisterSql(GeneratorOptions options, QIODevice &out)
{
    options.typographic = false;
    const RegisterGenerator gen(options);
    const GeneratorOptions &o = gen.options();
    out.write(u"-- Demo register of resolutions: %1 records, %2 committees, %3-%4, made by\n"
              "-- orvanth-gen --count %1 --seed %5 --from %3 --to %4 --until %6 --committees %2\n"
              "-- Load after schema.sql: mariadb --default-character-set=utf8mb4 DB < demo.sql\n"
              "-- Users (log-in name / password):"_s.arg(o.records)
                  .arg(o.committees)
                  .arg(o.firstYear)
                  .arg(o.lastYear)
                  .arg(o.seed)
                  .arg(o.until.toString(Qt::ISODate))
                  .toUtf8());
    QStringList users;
    for (const GeneratedUser &u : gen.users())
        users << u.login + u" / "_s + u.password;
    out.write((u' ' + users.join(u", "_s)).toUtf8() + "\n\nSET NAMES utf8mb4;\n");
    gen.writeSql([&out](const QString &statement) { out.write(statement.toUtf8() + "\n"); });
}

bool WriteRegisterSqlFile(GeneratorOptions options, const QString &path, QString *error)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        if (error)
            *error = file.errorString();
        return false;
    }
    WriteRegisterSql(std::move(options), file);
    if (!file.commit()) {
        if (error)
            *error = file.errorString();
        return false;
    }
    return true;
}

void InsertRegister(const GeneratorOptions &options, Connection &connection,
                    const std::function<void(int)> &progress)
{
    for (const QString &table : {u"iktato"_s, u"csoport"_s, u"felhasznalo"_s, u"targy"_s}) {
        const ResultSet rs = connection.query(u"SELECT COUNT(*) FROM "_s + table);
        if (rs.text(0, 0) != u"0"_s)
            throw DbError(
                u"Table %1 is not empty: the generated register goes into a fresh database"_s.arg(table));
    }
    const RegisterGenerator gen(options);
    int done = 0;
    // Each statement commits on its own (autocommit): a chunk is all or nothing.
    gen.writeSql([&](const QString &statement) {
        connection.exec(statement);
        if (statement.startsWith(u"INSERT INTO iktato"_s)) {
            done += int(connection.affectedRows());
            if (progress)
                progress(done);
        }
    });
}
