#pragma once
// The clean-ups of an orderly shutdown of the whole program, in the order
// they run (the reverse of start-up), as the clean-up observer reports them.

#include <string>

namespace app_test {

inline const std::string kOrderlyCleanups = "cleanup markExitStarted\n"
                                            "cleanup releaseGameConnectionAtExit\n"
                                            "cleanup shutdownLocalization\n"
                                            "cleanup stopPointerTimerAtExit\n"
                                            "cleanup closeLightFiles\n"
                                            "cleanup stopWeather\n"
                                            "cleanup unloadUnicodeFonts\n"
                                            "cleanup releasePathSearch\n"
                                            "cleanup shutdownMusic\n"
                                            "cleanup shutdownSound\n"
                                            "cleanup releaseStartupState\n"
                                            "cleanup destroyDefTables\n"
                                            "cleanup releaseWorldObjects\n"
                                            "cleanup freeAsciiFonts\n"
                                            "cleanup releasePalette\n"
                                            "cleanup releasePointerState\n"
                                            "cleanup FileManager::shutdown\n"
                                            "cleanup reporterClose\n";

} // namespace app_test
