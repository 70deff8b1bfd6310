#include "app/registerpages.h"

#include <memory>

#include "app/analysis/pages/child_gen_capture.h"
#include "app/analysis/pages/child_gen_fft.h"
#include "app/analysis/pages/child_gen_review.h"
#include "app/analysis/pages/child_gen_scope.h"
#include "app/pages/child_gen_calibration.h"
#include "app/pages/child_gen_factory.h"
#include "app/pages/child_gen_file.h"
#include "app/pages/child_gen_home.h"
#include "app/pages/child_gen_info.h"
#include "app/pages/child_gen_lock.h"
#include "app/shell/pageforms.h"

namespace app {

void RegisterPages()
{
    using namespace app::pages;
    app::shell::RegisterPageFactory(CHILD_GEN_HOME::FormName,
                                    [] { return std::make_unique<CHILD_GEN_HOME>(); });
    app::shell::RegisterPageFactory(CHILD_GEN_INFO::FormName,
                                    [] { return std::make_unique<CHILD_GEN_INFO>(); });
    app::shell::RegisterPageFactory(CHILD_GEN_FILE::FormName,
                                    [] { return std::make_unique<CHILD_GEN_FILE>(); });
    app::shell::RegisterPageFactory(CHILD_GEN_CALIBRATION::FormName,
                                    [] { return std::make_unique<CHILD_GEN_CALIBRATION>(); });
    app::shell::RegisterPageFactory(CHILD_GEN_LOCK::FormName,
                                    [] { return std::make_unique<CHILD_GEN_LOCK>(); });
    // Its button is there only in factory mode.
    app::shell::RegisterPageFactory(CHILD_GEN_FACTORY::FormName,
                                    [] { return std::make_unique<CHILD_GEN_FACTORY>(); });
    using app::analysis::pages::CHILD_GEN_FFT;
    using app::analysis::pages::CHILD_GEN_SCOPE;
    app::shell::RegisterPageFactory(CHILD_GEN_SCOPE::FormName,
                                    [] { return std::make_unique<CHILD_GEN_SCOPE>(); });
    app::shell::RegisterPageFactory(CHILD_GEN_FFT::FormName,
                                    [] { return std::make_unique<CHILD_GEN_FFT>(); });
    using app::analysis::pages::CHILD_GEN_CAPTURE;
    using app::analysis::pages::CHILD_GEN_REVIEW;
    app::shell::RegisterPageFactory(CHILD_GEN_CAPTURE::FormName,
                                    [] { return std::make_unique<CHILD_GEN_CAPTURE>(); });
    app::shell::RegisterPageFactory(CHILD_GEN_REVIEW::FormName,
                                    [] { return std::make_unique<CHILD_GEN_REVIEW>(); });
}

} // namespace app
