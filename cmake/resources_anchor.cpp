// The artwork library needs one source of its own; the compiled-in resources are its content.
namespace {
[[maybe_unused]] constexpr int ResourcesAnchor = 0;
}
