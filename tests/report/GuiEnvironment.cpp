#include <gtest/gtest.h>

#include <QGuiApplication>
#include <memory>

namespace {

// Pages are drawn with fonts and images: every test runs inside one QGuiApplication.
class GuiEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        static int argc = 1;
        static char name[] = "test_report";
        static char* argv[] = {name, nullptr};
        m_app = std::make_unique<QGuiApplication>(argc, argv);
    }
    void TearDown() override { m_app.reset(); }

private:
    std::unique_ptr<QGuiApplication> m_app;
};

const auto* const g_env = ::testing::AddGlobalTestEnvironment(new GuiEnvironment);

}  // namespace
