#pragma once
// The conference chat's part of the test server's stage (stage_chat.cpp).

#include "support/stage_part.h"

#include <memory>
#include <string>

namespace test {

// The conference the player joins, the other one on offer, its users and
// the robot that speaks in it.
inline constexpr char16_t kStageChatName[] = u"Tester";
inline constexpr char16_t kStageChatLobby[] = u"Lobby";
inline constexpr char16_t kStageChatGuild[] = u"Guild";
inline constexpr char16_t kStageChatRobot[] = u"Robot";
inline constexpr char16_t kStageChatUser[] = u"Mirela";
inline constexpr char16_t kStageChatGreeting[] = u"Welcome to the lobby!";

std::unique_ptr<StagePart> makeStageChat();

} // namespace test
