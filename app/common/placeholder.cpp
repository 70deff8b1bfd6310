// Keeps the library non-empty until its first module lands; remove then.
namespace app::common {
} // namespace app::common
