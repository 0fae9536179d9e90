#include "app/topic_table.h"

#include "platform/files.h"

namespace {

const std::array<TTopicInfo, 19> Topics = {{
    {0, nullptr, TSheet::Splash, "Index.htm", nullptr, 3000, -1},
    {1, "Alpha scattering (2)", TSheet::Alpha, "ALPHA.HTM", "Alpha particle scattering (2)", 1200, 0},
    {2, "Electric field plotting", TSheet::Field, "EFIELD.HTM", "Electric field plotting", 1700, 100},
    {3, nullptr, TSheet::ThreeD, nullptr, nullptr, 1900, 0},
    {4, "Magnetic fields", TSheet::Mag, "MFIELD.HTM", "Magnetic fields", 1900, 100},
    {5, "Deflection by electric fields", TSheet::EDef, "EDEFLECT.HTM",
     "Deflection of electrons by an electric field", 1400, 0},
    {6, "Deflection by magnetic fields (1)", TSheet::MagDef, "BDEFLECT.HTM",
     "Deflection of electrons by a magnetic field (1)", 1500, 0},
    {7, "Deflection by magnetic fields (2)", TSheet::Helix, "HELIX.HTM",
     "Deflection of electrons by a magnetic field (2)", 1600, 0},
    {8, "Oil drop experiment", TSheet::Millikan, "MILLIKAN.HTM", "Millikan's oil drop experiment", 2000, 0},
    {9, "Planetary orbits (1)", TSheet::Orbit, "ORBIT.HTM", "Planetary orbits (1)", 2200, 0},
    {10, "Motion in unform gravitational fields", TSheet::Projectile, "PROJECTILE.HTM",
     "Motion in a uniform gravitational field", 2100, 0},
    // The two orbit pages share one caption.
    {11, "Planetary orbits (2)", TSheet::BinOrbit, "ORBIT2.HTM", "Planetary orbits (1)", 2300, 0},
    {12, "Alpha scattering (1)", TSheet::Alpha2, "ALPHA2.HTM", "Alpha particle scattering (1)", 1100, 0},
    {13, "Thompson's experiment for e/m", TSheet::JJ, "THOMPSON.HTM", "e/m for the electron", 2400, 0},
    {14, "Force on a current carrying conductor", TSheet::BIL, "MOTOR1.HTM",
     "force on a current carrying conductor", 1800, 0},
    {15, "DC motor", TSheet::Motor, "DC_MOTOR.HTM", "DC Motor", 1300, 0},
    {16, "Dynamo", TSheet::Dyna, "DYNAMO.HTM", "Dynamo", 2500, 0},
    {17, "Electromagnetic induction", TSheet::Lenz, "LENZ.HTM", "Electromagnetic induction", 3100, 0},
    {18, "Mass spectrometer", TSheet::MS, "MASS_SPECT.HTM", "Mass spectrometer", 3200, 0},
}};

// PageWidths order: AlphaTab, FieldTab, ThreeDTab, MagTab, EDefTab, MagDefTab, HelixTab,
// MillikanTab, OrbitTab, ProjectileTab, Alpha2Tab, JJTab, BILtab, MotorTab, DynaTab,
// LenzTab, BinOrbitTab, MSTab.
constexpr std::array<TSheet, PageWidthCount> PageWidthSheets = {
    TSheet::Alpha, TSheet::Field,      TSheet::ThreeD, TSheet::Mag,   TSheet::EDef,  TSheet::MagDef,
    TSheet::Helix, TSheet::Millikan,   TSheet::Orbit,  TSheet::Projectile, TSheet::Alpha2, TSheet::JJ,
    TSheet::BIL,   TSheet::Motor,      TSheet::Dyna,   TSheet::Lenz,  TSheet::BinOrbit, TSheet::MS};

} // namespace

const std::array<int, 17> TopicMenuOrder = {12, 1, 15, 5, 6, 7, 16, 2, 14, 4, 18, 10, 8, 9, 11, 13, 17};

int PageWidthIndex(TSheet Sheet) {
  for (int I = 0; I < PageWidthCount; ++I)
    if (PageWidthSheets[I] == Sheet) return I;
  return -1;
}

std::array<int, PageWidthCount> InitPageWidths(int Default, int Count) {
  std::array<int, PageWidthCount> W{};
  for (int I = 0; I < PageWidthCount && I < Count; ++I) W[I] = Default;
  W[5] = 473;  // MagDefTab
  W[7] = 400;  // MillikanTab
  W[9] = 480;  // ProjectileTab
  W[10] = 420; // Alpha2Tab
  W[12] = 400; // BILtab
  W[16] = 455; // BinOrbitTab
  W[17] = 400; // MSTab
  return W;
}

bool IsTopic(int Topic) { return Topic >= 0 && Topic <= 18; }

const TTopicInfo &TopicInfo(int Topic) { return Topics.at(size_t(IsTopic(Topic) ? Topic : 0)); }

int TopicOfPage(const std::string &Link, int Current) {
  // Links may be DOS names or our own paths: the file part follows the last separator.
  size_t Cut = Link.find_last_of("\\:/");
  std::string Name = UpperCase(Cut == std::string::npos ? Link : Link.substr(Cut + 1));
  size_t Hash = Name.find('#');
  if (Hash != std::string::npos) Name.erase(Hash);
  for (int T = 1; T <= 18; ++T)
    if (Topics[T].Page && Name == Topics[T].Page) return T;
  return Current;
}

int HelpContextOfTopic(int Topic) { return IsTopic(Topic) ? Topics[size_t(Topic)].HelpContext : 0; }
