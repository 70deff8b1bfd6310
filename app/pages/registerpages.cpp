#include "app/pages/registerpages.h"

#include <memory>

#include "app/analysis/pages/child_gen_fft.h"
#include "app/analysis/pages/child_gen_scope.h"
#include "app/pages/child_gen_home.h"
#include "app/pages/child_gen_info.h"
#include "app/shell/pageforms.h"

namespace app::pages {

void RegisterPages()
{
    app::shell::RegisterPageFactory(CHILD_GEN_HOME::FormName,
                                    [] { return std::make_unique<CHILD_GEN_HOME>(); });
    app::shell::RegisterPageFactory(CHILD_GEN_INFO::FormName,
                                    [] { return std::make_unique<CHILD_GEN_INFO>(); });
    using app::analysis::pages::CHILD_GEN_FFT;
    using app::analysis::pages::CHILD_GEN_SCOPE;
    app::shell::RegisterPageFactory(CHILD_GEN_SCOPE::FormName,
                                    [] { return std::make_unique<CHILD_GEN_SCOPE>(); });
    app::shell::RegisterPageFactory(CHILD_GEN_FFT::FormName,
                                    [] { return std::make_unique<CHILD_GEN_FFT>(); });
}

} // namespace app::pages
