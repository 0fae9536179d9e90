#include "app/page_registry.h"

#include "app/pages/alpha_lattice_page.h"
#include "app/pages/alpha_page.h"
#include "app/pages/bin_orbit_page.h"
#include "app/pages/coil_page.h"
#include "app/pages/conductor_page.h"
#include "app/pages/electric_deflection_page.h"
#include "app/pages/field_page.h"
#include "app/pages/helix_page.h"
#include "app/pages/induction_page.h"
#include "app/pages/jj_page.h"
#include "app/pages/machine_page.h"
#include "app/pages/magnetic_deflection_page.h"
#include "app/pages/millikan_page.h"
#include "app/pages/orbit_page.h"
#include "app/pages/projectile_page.h"
#include "app/pages/spectrometer_page.h"

namespace {
template <class TPage> std::unique_ptr<TTopicPage> Make(TPageHost &Host) {
  return std::make_unique<TPage>(Host);
}
} // namespace

const std::vector<TPageRow> &PageRegistry() {
  static const std::vector<TPageRow> Rows = {
      {{TSheet::Field, TSheet::ThreeD}, Make<TFieldPage>},
      {{TSheet::Projectile}, Make<TProjectilePage>},
      {{TSheet::Alpha}, Make<TAlphaPage>},
      {{TSheet::Alpha2}, Make<TAlphaLatticePage>},
      {{TSheet::Millikan}, Make<TMillikanPage>},
      {{TSheet::Orbit}, Make<TOrbitPage>},
      {{TSheet::BinOrbit}, Make<TBinOrbitPage>},
      {{TSheet::JJ}, Make<TJJPage>},
      {{TSheet::BIL}, Make<TConductorPage>},
      {{TSheet::Motor, TSheet::Dyna}, Make<TMachinePage>},
      {{TSheet::Lenz}, Make<TInductionPage>},
      {{TSheet::MS}, Make<TSpectrometerPage>},
      {{TSheet::Mag}, Make<TCoilPage>},
      {{TSheet::EDef}, Make<TElectricDeflectionPage>},
      {{TSheet::MagDef}, Make<TMagneticDeflectionPage>},
      {{TSheet::Helix}, Make<THelixPage>},
  };
  return Rows;
}
