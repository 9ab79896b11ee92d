#pragma once
// The external sender that carries user.bin and prog.bin to the head-end in file mode.
#include <filesystem>

namespace ostrel {

inline constexpr const char* kSenderProgram = "Quorlin";
inline constexpr const char* kSenderArgument = "/checkclose";

// When the sender exists in the folder, starts it there with "/checkclose" and waits for it to end, however
// long it takes. Returns true when it was started. Nothing is inherited: no console, no open files.
bool RunSender(const std::filesystem::path& folder);

}  // namespace ostrel
