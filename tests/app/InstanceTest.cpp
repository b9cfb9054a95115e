#include <QProcess>
#include <QProcessEnvironment>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

namespace {

// The real executable, headless, in a process of its own.
std::unique_ptr<QProcess> Start(const char* executable) {
    auto process = std::make_unique<QProcess>();
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    process->setProcessEnvironment(environment);
    process->start(QString::fromUtf8(executable), {});
    EXPECT_TRUE(process->waitForStarted(5000));
    return process;
}

// Still running after a while: it reached its message loop and stays there.
bool KeepsRunning(QProcess& process) {
    return !process.waitForFinished(1500);
}

void Stop(QProcess& process) {
    process.kill();
    process.waitForFinished(5000);
}

TEST(Instances, WithoutAMutexNameTwoRunSideBySide) {
    auto first = Start(KALNOR_EXECUTABLE);
    auto second = Start(KALNOR_EXECUTABLE);
    EXPECT_TRUE(KeepsRunning(*first));
    EXPECT_TRUE(KeepsRunning(*second));
    Stop(*first);
    Stop(*second);
}

// State: one guarded instance running. Action: start another, then kill the first and start again.
// Expected: the second ends at once with 0; once the first is gone, a new one runs.
TEST(Instances, WithAMutexNameASecondEndsAtOnceWithZero) {
    auto first = Start(KALNOR_SINGLE_INSTANCE_EXECUTABLE);
    ASSERT_TRUE(KeepsRunning(*first));
    auto second = Start(KALNOR_SINGLE_INSTANCE_EXECUTABLE);
    ASSERT_TRUE(second->waitForFinished(5000));
    EXPECT_EQ(second->exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second->exitCode(), 0);
    EXPECT_TRUE(second->readAllStandardOutput().isEmpty());
    EXPECT_EQ(first->state(), QProcess::Running);

    Stop(*first); // even a killed holder gives the name up
    auto third = Start(KALNOR_SINGLE_INSTANCE_EXECUTABLE);
    EXPECT_TRUE(KeepsRunning(*third));
    Stop(*third);
}

} // namespace
