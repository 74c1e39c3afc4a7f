// The registry-map reader on the published file, and the zip reader on
// archives broken in each way it checks.
#include "boundary/registry_map.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "boundary/zip_archive.h"
#include "geometry/errors.h"
#include "support/test_files.h"

namespace zelkan {
namespace {

TEST(RegistryMap, ThePublishedFileGivesItsParcelByItsNumberInPlaneCoordinates) {
    const CoordinateFile file = ReadRegistryMap(test::FixturePath("registry-map/12103-0400-76.zip"));
    EXPECT_EQ(file.zone, "公共座標9系");
    ASSERT_EQ(file.parcels.size(), 1u);
    const ParcelRecord& p = file.parcels[0];
    EXPECT_EQ(p.number, "194-1");
    EXPECT_EQ(p.name, "194-1");
    EXPECT_EQ(p.precisionClass, "甲一");
    EXPECT_EQ(p.problem, "");
    // The ring's order, each corner's Y east as x and X north as y, in the
    // file's own metres; the names of its 筆界点.
    const std::vector<std::pair<long double, long double>> expected = {
        {26395.365L, -42255.230L}, {26397.311L, -42256.257L}, {26396.402L, -42257.197L}, {26395.030L, -42258.601L}};
    ASSERT_EQ(p.corners.size(), expected.size());
    for (size_t k = 0; k < expected.size(); ++k) {
        EXPECT_EQ(p.corners[k].x, static_cast<long double>(static_cast<double>(expected[k].first))) << k;
        EXPECT_EQ(p.corners[k].y, static_cast<long double>(static_cast<double>(expected[k].second))) << k;
    }
    EXPECT_EQ(p.cornerNames, (std::vector<std::string>{"3965523", "3965525", "3966564", "3965524"}));
}

TEST(RegistryMap, AnXmlErrorNamesItsLine) {
    std::string text =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<地図>\n<空間属性>\n<zmn:GM_Point id=\"P1\">\n"
        "<zmn:X>1</zmn:X>\n</zmn:GM_Curve>\n</空間属性>\n</地図>\n";
    try {
        ReadRegistryMapXml(text, "bad.xml");
        FAIL() << "no error";
    } catch (const InputOutputError& e) {
        EXPECT_EQ(std::string(e.what()).rfind("6 行目: XML の誤りです", 0), 0u) << e.what();
        EXPECT_EQ(e.fileName(), "bad.xml");
    }
}

// The map's elements are parsed one at a time from copies of their own, and
// the rest of the file without them: every place named is still the line
// of the file as written.
TEST(RegistryMap, PlacesAreTheLinesOfTheFileWhereverTheyAre) {
    const std::string head = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<地図>\n<座標系>任意座標系</座標系>\n<空間属性>\n";
    const std::string point = "<zmn:GM_Point id=\"P1\">\n<zmn:X>1</zmn:X><zmn:Y>2</zmn:Y>\n</zmn:GM_Point>\n";  // lines 5-7
    const std::string curve =  // lines 8-11, its second point missing on line 10
        "<zmn:GM_Curve id=\"C1\">\n<zmn:GM_PointArray.column><zmn:GM_PointRef.point idref=\"P1\"/></zmn:GM_PointArray.column>\n"
        "<zmn:GM_PointArray.column><zmn:GM_PointRef.point idref=\"P9\"/></zmn:GM_PointArray.column>\n</zmn:GM_Curve>\n";
    const std::string surface =  // lines 12-14
        "<zmn:GM_Surface id=\"S1\"><zmn:GM_SurfaceBoundary.exterior><zmn:GM_Ring>\n"
        "<zmn:GM_CompositeCurve.generator idref=\"C1\"/>\n</zmn:GM_Ring></zmn:GM_SurfaceBoundary.exterior></zmn:GM_Surface>\n";
    const std::string fude = "</空間属性>\n<主題属性>\n<筆>\n<地番>5</地番><形状 idref=\"S1\"/>\n</筆>\n";  // lines 15-19
    const struct {
        std::string text;
        std::string expected;  // the start of the parcel's problem, or of the error
    } cases[] = {
        {head + point + curve + surface + fude + "</主題属性>\n</地図>\n", "10 行目の点 P9 がありません"},
        // A wrong closing tag in the rest of the file, after the elements.
        {head + point + curve + surface + fude + "</空間属性>\n</地図>\n", "20 行目: XML の誤りです"},
        // Inside an element, after lines of others.
        {head + point + curve + "<zmn:GM_Surface id=\"S1\">\n</zmn:GM_Ring>\n</zmn:GM_Surface>\n" + fude, "13 行目: XML の誤りです"},
        // The root never closed: the end of the file.
        {head + point + curve + surface + fude + "</主題属性>\n", "21 行目: XML の誤りです"},
    };
    for (const auto& c : cases) {
        try {
            const CoordinateFile file = ReadRegistryMapXml(c.text, "places.xml");
            ASSERT_EQ(file.parcels.size(), 1u) << c.expected;
            EXPECT_EQ(file.parcels[0].problem.rfind(c.expected, 0), 0u) << file.parcels[0].problem;
        } catch (const InputOutputError& e) {
            EXPECT_EQ(std::string(e.what()).rfind(c.expected, 0), 0u) << e.what();
        }
    }
}

TEST(RegistryMap, EntitiesInTextsAreRead) {
    std::string text =
        "<地図><座標系>公共座標&#57;系</座標系><主題属性><筆><地番>1&amp;2</地番><精度区分>&#x7532;一</精度区分>"
        "</筆></主題属性></地図>";
    const CoordinateFile file = ReadRegistryMapXml(text, "entities.xml");
    ASSERT_EQ(file.parcels.size(), 1u);
    EXPECT_EQ(file.parcels[0].number, "1&2");
    EXPECT_EQ(file.parcels[0].precisionClass, "甲一");
    EXPECT_EQ(file.zone, "公共座標9系");
    EXPECT_EQ(file.parcels[0].problem, "形状（面）がありません（1 行目）");
}

TEST(RegistryMap, TheDeclaredEncodingIsHeld) {
    // UTF-8, declared or not, must be UTF-8: a stray byte is an error of its line.
    for (const char* declaration : {"<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n", "\n"}) {
        std::string text = std::string(declaration) + "<地図>\n<座標系>公共座標\x93" "9系</座標系>\n</地図>\n";
        try {
            ReadRegistryMapXml(text, "stray.xml");
            FAIL() << "no error";
        } catch (const InputOutputError& e) {
            EXPECT_EQ(std::string(e.what()).rfind("3 行目: XML の誤りです（UTF-8 ではないバイトがあります）", 0), 0u) << e.what();
        }
    }
    // Shift_JIS is read as code page 932, as the other readers read it.
    std::string sjis =
        "<?xml version=\"1.0\" encoding=\"Shift_JIS\"?><\x92\x6E\x90\x7D><\x8D\xC0\x95\x57\x8C\x6E>"
        "\x94\x43\x88\xD3\x8D\xC0\x95\x57\x8C\x6E</\x8D\xC0\x95\x57\x8C\x6E></\x92\x6E\x90\x7D>";
    std::string sjisParcel = sjis.substr(0, sjis.size() - 7) + "<\x8E\xE5\x91\xE8\x91\xAE\x90\xAB><\x95\x4D><\x92\x6E\x94\xD4>7</\x92\x6E\x94\xD4>"
                             "</\x95\x4D></\x8E\xE5\x91\xE8\x91\xAE\x90\xAB></\x92\x6E\x90\x7D>";
    EXPECT_EQ(ReadRegistryMapXml(sjis, "sjis.xml").zone, "");  // no 筆 to carry it
    const CoordinateFile file = ReadRegistryMapXml(sjisParcel, "sjis.xml");
    ASSERT_EQ(file.parcels.size(), 1u);
    EXPECT_EQ(file.parcels[0].number, "7");
    EXPECT_EQ(file.zone, "任意座標系");
    std::string other = "<?xml version=\"1.0\" encoding=\"EUC-JP\"?><地図/>";
    EXPECT_THROW(ReadRegistryMapXml(other, "euc.xml"), InputOutputError);
}

// The zip format's CRC-32, bit by bit.
uint32_t Crc32(const std::string& data) {
    uint32_t crc = 0xFFFFFFFFu;
    for (unsigned char c : data) {
        crc ^= c;
        for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

// A zip of stored members, as simple as the format allows.
struct StoredZip {
    std::string bytes;
    size_t directory = 0;
};

void Put16(std::string& s, uint32_t v) {
    s += static_cast<char>(v & 0xFF);
    s += static_cast<char>((v >> 8) & 0xFF);
}
void Put32(std::string& s, uint32_t v) {
    Put16(s, v & 0xFFFF);
    Put16(s, v >> 16);
}

StoredZip MakeStoredZip(const std::vector<std::pair<std::string, std::string>>& members) {
    StoredZip zip;
    std::string directory;
    for (const auto& [name, data] : members) {
        const uint32_t crc = Crc32(data);
        const uint32_t offset = static_cast<uint32_t>(zip.bytes.size());
        zip.bytes += std::string("PK\x03\x04", 4);
        Put16(zip.bytes, 10), Put16(zip.bytes, 0), Put16(zip.bytes, 0), Put32(zip.bytes, 0);
        Put32(zip.bytes, crc), Put32(zip.bytes, static_cast<uint32_t>(data.size()));
        Put32(zip.bytes, static_cast<uint32_t>(data.size()));
        Put16(zip.bytes, static_cast<uint32_t>(name.size())), Put16(zip.bytes, 0);
        zip.bytes += name + data;
        directory += std::string("PK\x01\x02", 4);
        Put16(directory, 20), Put16(directory, 10), Put16(directory, 0), Put16(directory, 0), Put32(directory, 0);
        Put32(directory, crc), Put32(directory, static_cast<uint32_t>(data.size()));
        Put32(directory, static_cast<uint32_t>(data.size()));
        Put16(directory, static_cast<uint32_t>(name.size())), Put16(directory, 0), Put16(directory, 0);
        Put16(directory, 0), Put16(directory, 0), Put32(directory, 0), Put32(directory, offset);
        directory += name;
    }
    zip.directory = zip.bytes.size();
    zip.bytes += directory;
    zip.bytes += std::string("PK\x05\x06", 4);
    Put16(zip.bytes, 0), Put16(zip.bytes, 0);
    Put16(zip.bytes, static_cast<uint32_t>(members.size())), Put16(zip.bytes, static_cast<uint32_t>(members.size()));
    Put32(zip.bytes, static_cast<uint32_t>(directory.size())), Put32(zip.bytes, static_cast<uint32_t>(zip.directory));
    Put16(zip.bytes, 0);
    return zip;
}

// Every member's bytes, or the first error's text.
std::string ReadAll(std::string bytes) {
    try {
        ZipArchive archive(MemoryBytes(std::move(bytes)), "t.zip");
        std::string all;
        ZipMember member;
        while (archive.Next(member)) all += member.name + "=" + archive.Extract(member) + ";";
        return all;
    } catch (const InputOutputError& e) {
        return std::string("error: ") + e.what();
    }
}

TEST(ZipArchive, ReadsStoredMembersAndRefusesEachBreak) {
    const StoredZip good = MakeStoredZip({{"a.xml", "<a/>"}, {"dir/", ""}, {"dir/b.xml", "<b/>"}});
    EXPECT_EQ(ReadAll(good.bytes), "a.xml=<a/>;dir/b.xml=<b/>;");
    const size_t directory = good.directory;
    const size_t end = good.bytes.size() - 22;
    struct Case {
        const char* what;
        size_t at;       // a byte to change, or npos
        char to;
        size_t keep;     // bytes kept from the start
        const char* message;
    };
    const size_t all = good.bytes.size();
    const Case cases[] = {
        {"a member's byte changed", 30 + 5 + 1, 'x', all, "CRC が合いません"},
        {"cut in the middle", std::string::npos, 0, all / 2, "zip の終わり"},
        {"cut before the end record's last byte", std::string::npos, 0, all - 1, "zip の終わり"},
        {"directory beyond the end record", end + 16, '\x7F', all, "zip の外を指しています"},
        {"a directory entry's signature", directory + 1, 'Q', all, "中央ディレクトリが壊れています"},
        {"more entries promised than there are", end + 10, '\x09', all, "中央ディレクトリが壊れています"},
        {"a stored size beyond the data", directory + 24, '\x40', all, "食い違っています"},
        {"an unknown method", directory + 10, '\x09', all, "圧縮方式（9）"},
        {"an encrypted member", directory + 8, '\x01', all, "暗号化"},
        {"a local header gone", 1, 'Q', all, "見出しがありません"},
    };
    for (const Case& c : cases) {
        std::string bytes = good.bytes.substr(0, c.keep);
        if (c.at != std::string::npos) bytes[c.at] = c.to;
        const std::string got = ReadAll(bytes);
        EXPECT_NE(got.find(c.message), std::string::npos) << c.what << ": " << got;
    }
}

}  // namespace
}  // namespace zelkan
