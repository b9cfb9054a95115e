#include "platform/IniFiles.h"

#include "platform/Exceptions.h"
#include "platform/Profile.h"

#include <gtest/gtest.h>

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <functional>
#include <random>
#include <string>
#include <thread>

#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using namespace std::string_literals;

class IniFileTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(Dir.isValid()); }

    std::string PathOf(const char* Name) const { return Dir.filePath(QString::fromUtf8(Name)).toStdString(); }

    static void WriteBytes(const std::string& Path, const std::string& Bytes) {
        QFile file(QString::fromStdString(Path));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        ASSERT_EQ(file.write(Bytes.data(), static_cast<qint64>(Bytes.size())), static_cast<qint64>(Bytes.size()));
    }
    static std::string ReadBytes(const std::string& Path) {
        QFile file(QString::fromStdString(Path));
        if (!file.open(QIODevice::ReadOnly)) {
            ADD_FAILURE() << Path << " cannot be read";
            return {};
        }
        const QByteArray bytes = file.readAll();
        return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
    }
    static mode_t ModeOf(const std::string& Path) {
        struct stat status {};
        EXPECT_EQ(stat(Path.c_str(), &status), 0) << Path;
        return status.st_mode & 07777;
    }
    QStringList Entries() const { return QDir(Dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot); }

    // The message WriteString fails with, or "" when it did not fail.
    static std::string WriteFailure(TIniFile& Ini, const AnsiString& Value) {
        try {
            Ini.WriteString("TAX", "RATE", Value);
        } catch (const Exception& failure) {
            return failure.Message();
        }
        return {};
    }

    QTemporaryDir Dir;
};

TEST_F(IniFileTest, MissingFileReadsTheDefaultAndCreatesNothing) {
    {
        const TIniFile ini(PathOf("quote.ini"));
        EXPECT_EQ(ini.FileName(), PathOf("quote.ini"));
        EXPECT_EQ(ini.ReadString("TAX", "RATE", "0.05"), "0.05");
        EXPECT_EQ(ini.ReadString("TAX", "RATE", ""), "");
        const TIniFile inMissingDirectory(PathOf("missing/quote.ini"));
        EXPECT_EQ(inMissingDirectory.ReadString("TAX", "RATE", "0.05"), "0.05");
    }
    EXPECT_TRUE(Entries().isEmpty()) << Entries().join(u' ').toStdString();
}

TEST_F(IniFileTest, ReadsWhatItWrote) {
    const std::string path = PathOf("quote.ini");
    TIniFile ini(path);
    ini.WriteString("TAX", "RATE", "0.08");
    EXPECT_EQ(ReadBytes(path), "[TAX]\r\nRATE=0.08\r\n");
    EXPECT_EQ(ini.ReadString("tax", "rate", "0.05"), "0.08");
    EXPECT_EQ(ini.ReadString("TAX", "NAME", "none"), "none");

    ini.WriteString("TAX", "NAME", "\x8F\xC1\x94\xEF\x90\xC5");
    ini.WriteString("TAX", "RATE", "0.1");
    EXPECT_EQ(ReadBytes(path), "[TAX]\r\nRATE=0.1\r\nNAME=\x8F\xC1\x94\xEF\x90\xC5\r\n");
    EXPECT_EQ(TIniFile(path).ReadString("TAX", "NAME", ""), "\x8F\xC1\x94\xEF\x90\xC5");
}

TEST_F(IniFileTest, ReadsAtMost1023BytesOfAValueOrDefault) {
    std::string value;
    for (int i = 0; i < 2000; ++i) {
        value += static_cast<char>('a' + i % 26);
    }
    const std::string path = PathOf("quote.ini");
    WriteBytes(path, "[TAX]\r\nLONG=" + value + "\r\nEXACT=" + value.substr(0, 1023) + "\r\n");
    const TIniFile ini(path);
    EXPECT_EQ(ini.ReadString("TAX", "LONG", ""), value.substr(0, 1023));
    EXPECT_EQ(ini.ReadString("TAX", "EXACT", ""), value.substr(0, 1023));
    EXPECT_EQ(ini.ReadString("TAX", "MISSING", value), value.substr(0, 1023));
}

TEST_F(IniFileTest, GetPrivateProfileStringFillsTheBufferAsFarAsItGoes) {
    const std::string path = PathOf("quote.ini");
    WriteBytes(path, "[TAX]\r\nRATE=0.08\r\n");
    const struct {
        const char* Name;
        const char* Key;
        DWORD Size;
        std::string Expected;
    } cases[] = {
        {"room for all", "RATE", 16, "0.08"},          {"just room for all", "RATE", 5, "0.08"},
        {"one byte short", "RATE", 4, "0.0"},          {"room for the NUL only", "RATE", 1, ""},
        {"default, room for all", "NONE", 16, "dflt"}, {"default, one byte short", "NONE", 4, "dfl"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        char buffer[32];
        std::memset(buffer, '#', sizeof(buffer));
        const DWORD copied = GetPrivateProfileStringA("TAX", c.Key, "dflt", buffer, c.Size, path.c_str());
        EXPECT_EQ(copied, c.Expected.size());
        EXPECT_EQ(std::string(buffer, copied + 1), c.Expected + '\0');
        EXPECT_EQ(buffer[copied + 1], '#') << "wrote past the NUL";
    }

    char untouched = '#';
    EXPECT_EQ(GetPrivateProfileStringA("TAX", "RATE", "dflt", &untouched, 0, path.c_str()), 0u);
    EXPECT_EQ(untouched, '#');
    char buffer[8];
    EXPECT_EQ(GetPrivateProfileStringA("TAX", "NONE", nullptr, buffer, sizeof(buffer), path.c_str()), 0u);
    EXPECT_EQ(buffer[0], '\0');
}

TEST_F(IniFileTest, ReadOnlyFileIsRefusedAndLeftAsItWas) {
    const std::string path = PathOf("quote.ini");
    const std::string before = "[TAX]\nRATE=0.05\n";
    for (const mode_t mode : {0444, 0440, 0400, 0555}) {
        SCOPED_TRACE(mode);
        WriteBytes(path, before);
        ASSERT_EQ(chmod(path.c_str(), mode), 0);
        TIniFile ini(path);
        EXPECT_EQ(WriteFailure(ini, "0.08"), path + " に書き込めません");
        EXPECT_EQ(ReadBytes(path), before);
        EXPECT_EQ(ModeOf(path), mode);
        EXPECT_EQ(Entries(), QStringList{QStringLiteral("quote.ini")});
        ASSERT_EQ(chmod(path.c_str(), 0644), 0);
    }
}

TEST_F(IniFileTest, ReadOnlyOrMissingDirectoryIsRefused) {
    const std::string sub = PathOf("sub");
    ASSERT_TRUE(QDir().mkdir(QString::fromStdString(sub)));
    const std::string existing = sub + "/quote.ini";
    WriteBytes(existing, "[TAX]\r\nRATE=0.05\r\n");
    ASSERT_EQ(chmod(sub.c_str(), 0555), 0);
    for (const std::string& path : {existing, sub + "/new.ini"}) {
        SCOPED_TRACE(path);
        TIniFile ini(path);
        EXPECT_EQ(WriteFailure(ini, "0.08"), path + " に書き込めません");
    }
    EXPECT_EQ(ReadBytes(existing), "[TAX]\r\nRATE=0.05\r\n");
    EXPECT_EQ(QDir(QString::fromStdString(sub)).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
              QStringList{QStringLiteral("quote.ini")});
    ASSERT_EQ(chmod(sub.c_str(), 0755), 0);

    const std::string missing = PathOf("missing/quote.ini");
    TIniFile ini(missing);
    EXPECT_EQ(WriteFailure(ini, "0.08"), missing + " に書き込めません");
    EXPECT_EQ(Entries(), QStringList{QStringLiteral("sub")});
}

TEST_F(IniFileTest, FileThatCannotBeReadIsNotOverwritten) {
    // A directory where the file should be.
    const std::string path = PathOf("quote.ini");
    ASSERT_TRUE(QDir().mkdir(QString::fromStdString(path)));
    EXPECT_EQ(WritePrivateProfileStringA("TAX", "RATE", "0.08", path.c_str()), FALSE);
    EXPECT_TRUE(QFileInfo(QString::fromStdString(path)).isDir());
    EXPECT_EQ(TIniFile(path).ReadString("TAX", "RATE", "0.05"), "0.05");

    // A link that leads to itself.
    const std::string loop = PathOf("loop.ini");
    ASSERT_EQ(symlink(loop.c_str(), loop.c_str()), 0);
    EXPECT_EQ(WritePrivateProfileStringA("TAX", "RATE", "0.08", loop.c_str()), FALSE);
    EXPECT_TRUE(QFileInfo(QString::fromStdString(loop)).isSymLink());
}

TEST_F(IniFileTest, WriteOnlyFileIsNotOverwritten) {
    if (geteuid() == 0) {
        GTEST_SKIP() << "root reads a file whatever its mode";
    }
    const std::string path = PathOf("quote.ini");
    WriteBytes(path, "[TAX]\r\nRATE=0.05\r\n");
    ASSERT_EQ(chmod(path.c_str(), 0200), 0);
    EXPECT_EQ(WritePrivateProfileStringA("TAX", "RATE", "0.08", path.c_str()), FALSE);
    ASSERT_EQ(chmod(path.c_str(), 0600), 0);
    EXPECT_EQ(ReadBytes(path), "[TAX]\r\nRATE=0.05\r\n");
}

TEST_F(IniFileTest, SaveKeepsThePermissions) {
    const std::string path = PathOf("quote.ini");
    for (const mode_t mode : {0600, 0640, 0604, 0664, 0751}) {
        SCOPED_TRACE(mode);
        WriteBytes(path, "[TAX]\r\nRATE=0.05\r\n");
        ASSERT_EQ(chmod(path.c_str(), mode), 0);
        TIniFile ini(path);
        ASSERT_EQ(WriteFailure(ini, "0.08"), "");
        EXPECT_EQ(ModeOf(path), mode);
        ASSERT_EQ(chmod(path.c_str(), 0600), 0);
        EXPECT_EQ(ReadBytes(path), "[TAX]\r\nRATE=0.08\r\n");
    }
}

TEST_F(IniFileTest, NewFileGetsTheUsualModeForTheUmask) {
    const mode_t mask = umask(0027);
    const std::string path = PathOf("quote.ini");
    TIniFile ini(path);
    const std::string failure = WriteFailure(ini, "0.08");
    umask(mask);
    ASSERT_EQ(failure, "");
    EXPECT_EQ(ModeOf(path), 0640u);
}

TEST_F(IniFileTest, ReadsAndWritesMegabytesOfHostileBytes) {
    // Binary bytes with NULs and no line ends, a long line, Shift-JIS text whose trail bytes are
    // '[', ']', '\' and '|', and no newline after the last line.
    std::string junk(3 << 20, '\0');
    std::mt19937 random(7);
    for (char& byte : junk) {
        byte = static_cast<char>(random() % 256);
        if (byte == '\n') {
            byte = '\0';
        }
    }
    const std::string head = junk + "\r\n" + std::string(1 << 20, 'L') +
                             "\r\n[\x83\x5B\x83\x5D]\r\nA=\x83\x5C\x83\x7C\r\n" +
                             "[TAX]\r\nNAME=\x8C\xA9\x90\xCF\r\nRATE=0.05\r\n";
    const std::string tail = "\r\n[LAST]\r\nZ=\0\x01\xFF"s;
    const std::string path = PathOf("quote.ini");
    WriteBytes(path, head + tail);

    TIniFile ini(path);
    EXPECT_EQ(ini.ReadString("TAX", "RATE", ""), "0.05");
    EXPECT_EQ(ini.ReadString("TAX", "NAME", ""), "\x8C\xA9\x90\xCF");
    EXPECT_EQ(ini.ReadString("LAST", "Z", "x"), "");
    ini.WriteString("TAX", "RATE", "0.08");
    const std::string expected = junk + "\r\n" + std::string(1 << 20, 'L') +
                                 "\r\n[\x83\x5B\x83\x5D]\r\nA=\x83\x5C\x83\x7C\r\n" +
                                 "[TAX]\r\nNAME=\x8C\xA9\x90\xCF\r\nRATE=0.08\r\n" + tail;
    EXPECT_TRUE(ReadBytes(path) == expected);

    WriteBytes(path, junk);
    EXPECT_EQ(ini.ReadString("TAX", "RATE", "none"), "none");
    ini.WriteString("TAX", "RATE", "0.08");
    EXPECT_TRUE(ReadBytes(path) == junk + "\r\n[TAX]\r\nRATE=0.08\r\n");
}

// Runs Body in a child process and gives its exit status.
int RunInChild(const std::function<int()>& Body) {
    const pid_t child = fork();
    if (child == 0) {
        int code = 99;
        try {
            code = Body();
        } catch (...) {
        }
        _exit(code);
    }
    if (child < 0) {
        ADD_FAILURE() << "fork failed";
        return -1;
    }
    int status = 0;
    EXPECT_EQ(waitpid(child, &status, 0), child);
    return status;
}

TEST_F(IniFileTest, SaveThatFailsMidWayLeavesTheOldFile) {
    const std::string path = PathOf("quote.ini");
    const std::string before = "[TAX]\r\nRATE=0.05\r\n[DATA]\r\n" + std::string(256 << 10, 'd') + "\r\n";
    WriteBytes(path, before);

    // A file size limit makes the save run out of room the way a full disk would.
    const int status = RunInChild([&path] {
        signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{64 << 10, 64 << 10};
        if (setrlimit(RLIMIT_FSIZE, &limit) != 0) {
            return 2;
        }
        if (WritePrivateProfileStringA("TAX", "RATE", "0.08", path.c_str()) != FALSE) {
            return 3;
        }
        TIniFile ini(path);
        try {
            ini.WriteString("TAX", "RATE", "0.08");
        } catch (const Exception& failure) {
            return failure.Message() == path + " に書き込めません" ? 0 : 4;
        }
        return 5;
    });
    ASSERT_TRUE(WIFEXITED(status)) << status;
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_TRUE(ReadBytes(path) == before);
    EXPECT_EQ(TIniFile(path).ReadString("TAX", "RATE", ""), "0.05");
}

std::string BigSettings(const char* Rate) {
    std::string content = "[TAX]\r\nRATE="s + Rate + "\r\n[DATA]\r\n";
    for (int i = 0; content.size() < (1 << 20); ++i) {
        content += "LINE" + std::to_string(i) + "=" + std::string(100, static_cast<char>('a' + i % 26)) + "\r\n";
    }
    return content;
}

TEST_F(IniFileTest, KilledSavesLeaveTheOldOrTheNewFile) {
    const std::string path = PathOf("quote.ini");
    const std::string contents[] = {BigSettings("0.05"), BigSettings("0.08")};
    WriteBytes(path, contents[0]);

    // Kills are spread over a few save times, so that most land while a save is under way.
    const auto saveStart = std::chrono::steady_clock::now();
    ASSERT_EQ(WritePrivateProfileStringA("TAX", "RATE", "0.08", path.c_str()), TRUE);
    ASSERT_EQ(WritePrivateProfileStringA("TAX", "RATE", "0.05", path.c_str()), TRUE);
    const auto saveTime = (std::chrono::steady_clock::now() - saveStart) / 2;
    const auto maxDelay = std::clamp(std::chrono::duration_cast<std::chrono::microseconds>(saveTime * 3),
                                     std::chrono::microseconds(500), std::chrono::microseconds(40000));
    ASSERT_TRUE(ReadBytes(path) == contents[0]);

    const unsigned seed = std::random_device()();
    SCOPED_TRACE("seed " + std::to_string(seed));
    std::mt19937 random(seed);
    std::uniform_int_distribution<long> delay(0, maxDelay.count());
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(4);
    int seen[2] = {0, 0};
    for (int round = 0; round < 100 && (round < 10 || std::chrono::steady_clock::now() < deadline); ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        int saved[2];
        ASSERT_EQ(pipe(saved), 0);
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            close(saved[0]);
            for (int i = 0;; ++i) {
                if (WritePrivateProfileStringA("TAX", "RATE", i % 2 == 0 ? "0.08" : "0.05", path.c_str()) != TRUE) {
                    _exit(1);
                }
                const char done = 1;
                if (write(saved[1], &done, 1) != 1) {
                    _exit(2);
                }
            }
        }
        close(saved[1]);
        // The kill comes after the first save, while a later one runs, however slow the machine.
        pollfd ready{saved[0], POLLIN, 0};
        const bool started = poll(&ready, 1, 20000) == 1 && (ready.revents & POLLIN) != 0;
        if (started) {
            std::this_thread::sleep_for(std::chrono::microseconds(delay(random)));
        }
        kill(child, SIGKILL);
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        close(saved[0]);
        ASSERT_TRUE(started) << "the child made no save";
        ASSERT_TRUE(WIFSIGNALED(status)) << "the child's save failed: " << status;

        const std::string now = ReadBytes(path);
        if (now == contents[0]) {
            ++seen[0];
        } else if (now == contents[1]) {
            ++seen[1];
        } else {
            FAIL() << "the file holds " << now.size() << " bytes of neither content";
        }
    }
    std::printf("killed saves left the old content %d and the new content %d times\n", seen[0], seen[1]);
}

} // namespace
