#include "tax/TaxSettings.h"

#include "platform/Exceptions.h"
#include "platform/ModulePath.h"

#include <QByteArray>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <string>

namespace {

TEST(ParseTaxRate, RoundsTheNearestDoubleTimesTenThousandToEven) {
    const struct {
        const char* Text;
        Fixed4 Rate;
    } cases[] = {
        {"0.05", 500},
        {"0.08", 800},
        {".08", 800},
        {"+0.08", 800},
        {"8E-2", 800},
        {" 0.08 ", 800},
        {"0.1", 1000},
        {"5", 50000},
        {".", 0},
        {"0", 0},
        {"-0.05", -500},
        {"0.03125", 312}, // exact tie, to even
        {"0.09375", 938}, // exact tie, to even
        {"0.00005", 1},   // its double lies just above the half
        {"0.00015", 1},   // its double lies just below the half
        {"0.12345", 1235},
        {"900000000000000", 9000000000000000000},
        {"-922337203685477", -9223372036854770000},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ParseTaxRate(c.Text), c.Rate) << "'" << c.Text << "'";
    }
}

TEST(ParseTaxRate, RefusesTextsThatAreNoRateWithTheConversionMessage) {
    const char* texts[] = {
        "",
        " ",
        "+",
        "5%",
        "1,000",
        "0.05.1",
        "1.2.3",
        "\t5",
        "0x10",
        "５",
        "922337203685477.5808", // 2^63 ten-thousandths
        "-922337203685477.6",   // below -2^63 ten-thousandths
        "1E400",                // beyond the double range
        "1E5000",               // beyond the extended range
    };
    for (const char* text : texts) {
        try {
            ParseTaxRate(text);
            ADD_FAILURE() << "'" << text << "' was accepted";
        } catch (const EConvertError& failure) {
            EXPECT_EQ(failure.Message(), "'" + std::string(text) + "' は浮動小数点ではありません");
        }
    }
}

// Each test stands the program in a directory of its own, where its settings file lies.
class TaxSettingsTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(Dir.isValid());
        SetModuleFileNameOverride(Dir.filePath(QStringLiteral("quote")).toStdString());
    }
    void TearDown() override { SetModuleFileNameOverride(AnsiString()); }

    QString IniPath() const { return Dir.filePath(QStringLiteral("quote.ini")); }
    void WriteIni(const QByteArray& bytes) const {
        QFile file(IniPath());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    QByteArray ReadIni() const {
        QFile file(IniPath());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    QTemporaryDir Dir;
};

TEST_F(TaxSettingsTest, TheSettingsFileIsNamedAfterTheExecutableBesideIt) {
    EXPECT_EQ(GetIniFilePath(), IniPath().toStdString());
}

TEST_F(TaxSettingsTest, MissingFileSectionOrEntryGivesFiveHundredSilently) {
    const struct {
        const char* Name;
        const char* Content; // nullptr: no file
    } cases[] = {
        {"no file", nullptr},
        {"no section", "[OTHER]\r\nRATE=0.08\r\n"},
        {"no entry", "[TAX]\r\n"},
        {"entry in another section only", "[TAXES]\r\nRATE=0.08\r\n[TAX]\r\nRATES=0.08\r\n"},
    };
    for (const auto& c : cases) {
        QFile::remove(IniPath());
        if (c.Content) {
            WriteIni(c.Content);
        }
        const TTaxRateLoad load = LoadTaxRate();
        EXPECT_EQ(load.Rate, 500) << c.Name;
        EXPECT_FALSE(load.Failed) << c.Name;
        EXPECT_EQ(QFile::exists(IniPath()), c.Content != nullptr) << c.Name << ": the load never creates the file";
    }
}

TEST_F(TaxSettingsTest, StoredRatesLoadAndBadOnesFallBackWithTheirMessage) {
    const struct {
        const char* Line;
        Fixed4 Rate;
        const char* Message; // nullptr: the load succeeds
    } cases[] = {
        {"RATE=0.08", 800, nullptr},
        {"RATE=  0.08  ", 800, nullptr},
        {"rate = 0.08", 800, nullptr},
        {"RATE=\"0.08\"", 800, nullptr},
        {"RATE=-0.05", -500, nullptr},
        {"RATE=0.03125", 312, nullptr},
        {"RATE=0.09375", 938, nullptr},
        {"RATE=0.00005", 1, nullptr},
        {"RATE=", 500, "'' は浮動小数点ではありません"},
        {"RATE=5%", 500, "'5%' は浮動小数点ではありません"},
        {"RATE=1,000", 500, "'1,000' は浮動小数点ではありません"},
        {"RATE=0.05.1", 500, "'0.05.1' は浮動小数点ではありません"},
    };
    for (const auto& c : cases) {
        WriteIni(QByteArray("[TAX]\r\n") + c.Line + "\r\n");
        const TTaxRateLoad load = LoadTaxRate();
        EXPECT_EQ(load.Rate, c.Rate) << c.Line;
        EXPECT_EQ(load.Failed, c.Message != nullptr) << c.Line;
        EXPECT_EQ(load.Message, c.Message ? c.Message : "") << c.Line;
    }
}

TEST_F(TaxSettingsTest, OnlyTheFirst1023BytesOfTheValueAreRead) {
    // Whole, the value is no number; its first 1023 bytes are 0.5 with trailing zeros.
    WriteIni("[TAX]\r\nRATE=0.5" + QByteArray(1020, '0') + "%\r\n");
    const TTaxRateLoad load = LoadTaxRate();
    EXPECT_FALSE(load.Failed) << load.Message;
    EXPECT_EQ(load.Rate, 5000);
}

TEST_F(TaxSettingsTest, HugeOrBinaryFilesLoadWithoutTrouble) {
    QByteArray noise;
    for (int i = 0; i < 4 << 20; ++i) {
        noise += static_cast<char>((static_cast<unsigned>(i) * 7919u) % 256u);
    }
    const struct {
        const char* Name;
        QByteArray Content;
        Fixed4 Rate;
        bool Failed;
    } cases[] = {
        {"4 MiB of binary bytes", noise, 500, false},
        {"binary bytes, then the entry", noise + "\r\n[TAX]\r\nRATE=0.08\r\n", 800, false},
        {"a NUL inside the value ends it", QByteArray("[TAX]\r\nRATE=0.0", 15) + QByteArray(1, '\0') + "8%\r\n", 0,
         false},
        {"Shift-JIS bytes as the value", "[TAX]\r\nRATE=\x82\x54\x81\x93\r\n", 500, true},
        {"one line of 4 MiB", "[TAX]\r\nRATE=" + QByteArray(4 << 20, '7'), 500, true},
    };
    for (const auto& c : cases) {
        WriteIni(c.Content);
        const TTaxRateLoad load = LoadTaxRate();
        EXPECT_EQ(load.Rate, c.Rate) << c.Name;
        EXPECT_EQ(load.Failed, c.Failed) << c.Name << ": " << load.Message;
    }
}

TEST_F(TaxSettingsTest, SavingWritesTheTextAsTypedAndReturnsItsRate) {
    EXPECT_EQ(SaveTaxRate(".08"), 800);
    EXPECT_EQ(ReadIni(), QByteArray("[TAX]\r\nRATE=.08\r\n"));
    EXPECT_EQ(SaveTaxRate("5"), 50000);
    EXPECT_EQ(ReadIni(), QByteArray("[TAX]\r\nRATE=5\r\n")) << "replaced, not repeated";
    EXPECT_EQ(LoadTaxRate().Rate, 50000);
}

TEST_F(TaxSettingsTest, SavingKeepsEveryOtherByteOfTheFile) {
    WriteIni("; prices for 2026\n[VIEW]\nZOOM=2\n\n[tax]\r\nNOTE = keep  \r\nRate=0.05\r\n\r\n[END]\nodd line");
    SaveTaxRate("0.1");
    EXPECT_EQ(
        ReadIni(),
        QByteArray("; prices for 2026\n[VIEW]\nZOOM=2\n\n[tax]\r\nNOTE = keep  \r\nRATE=0.1\r\n\r\n[END]\nodd line"));
}

TEST_F(TaxSettingsTest, ATextThatIsNoRateIsNeverSaved) {
    for (const char* text : {"", "1.2.3", "-"}) {
        try {
            SaveTaxRate(text);
            ADD_FAILURE() << "'" << text << "' was saved";
        } catch (const EConvertError& failure) {
            EXPECT_EQ(failure.Message(), "'" + std::string(text) + "' は浮動小数点ではありません");
        }
        EXPECT_FALSE(QFile::exists(IniPath())) << "'" << text << "'";
    }
}

TEST_F(TaxSettingsTest, AReadOnlyFileIsRefusedWithItsFullPathAndLeftAsItWas) {
    const QByteArray before("[TAX]\r\nRATE=0.05\r\n");
    WriteIni(before);
    ASSERT_EQ(chmod(IniPath().toLocal8Bit().constData(), 0444), 0);
    try {
        SaveTaxRate("0.08");
        ADD_FAILURE() << "a read-only file was written";
    } catch (const EConvertError&) {
        ADD_FAILURE() << "a write failure reported as a conversion failure";
    } catch (const Exception& failure) {
        EXPECT_EQ(failure.Message(), IniPath().toStdString() + " に書き込めません");
    }
    EXPECT_EQ(ReadIni(), before);
    EXPECT_EQ(LoadTaxRate().Rate, 500);
}

TEST_F(TaxSettingsTest, AMissingDirectoryIsAWriteFailure) {
    SetModuleFileNameOverride(Dir.filePath(QStringLiteral("gone/quote")).toStdString());
    try {
        SaveTaxRate("0.08");
        ADD_FAILURE() << "saved into a missing directory";
    } catch (const Exception& failure) {
        EXPECT_EQ(failure.Message(),
                  Dir.filePath(QStringLiteral("gone/quote.ini")).toStdString() + " に書き込めません");
    }
}

} // namespace
