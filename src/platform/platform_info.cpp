// Placeholder translation unit so the platform library always has a source.
namespace ravelto::platform {
int PlatformLibraryVersion() { return 1; }
}  // namespace ravelto::platform
