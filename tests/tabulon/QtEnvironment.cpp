#include <gtest/gtest.h>

#include <QApplication>
#include <memory>

namespace {

// The control is a widget: every test of this executable runs inside one QApplication.
class QtEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        static int argc = 1;
        static char name[] = "tabulon_tests";
        static char* argv[] = {name, nullptr};
        m_app = std::make_unique<QApplication>(argc, argv);
        QCoreApplication::setApplicationName(QStringLiteral("Voltaris"));
    }
    void TearDown() override { m_app.reset(); }

private:
    std::unique_ptr<QApplication> m_app;
};

const auto* const g_env = ::testing::AddGlobalTestEnvironment(new QtEnvironment);

}  // namespace
