#include "support/ui_fixtures.h"

#include <cstdlib>

namespace cw::test {

FormFixture::FormFixture(const std::string& settings, const QStringList& arguments)
{
    ::setenv("CLIPWRIGHT_HOME", home.path().c_str(), 1);
    if (!settings.empty()) home.write("conf.properties", settings);
    form = std::make_unique<Form1>(QStringList{QStringLiteral("clipwright")} + arguments);
}

FormFixture::~FormFixture()
{
    form.reset();
    ::unsetenv("CLIPWRIGHT_HOME");
}

} // namespace cw::test
