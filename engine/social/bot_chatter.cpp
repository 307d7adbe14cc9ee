#include "social/bot_chatter.h"

namespace quorbit::social {

const std::array<std::string_view, 36> kZuboRemarks = {
    "My dad is cool.",
    "I'm a bit confused",
    "I need to find a job.",
    "I watched TV last night.",
    "I wish you could see this!",
    "I don't think that is a good idea",
    "That is very wise of you",
    "Tomorrow will be here quickly.",
    "Stop yelling at me.",
    "Don't slam the door please.",
    "I skipped breakfast today.",
    "Have you seen Sweetcheeks today?",
    "Is it snack time yet?",
    "Do you have a candy bar?",
    "Oh the ice cream man is coming!",
    "Did you see that?",
    "Why did you do that?",
    "Who knows..",
    "Are you sure you are OK?",
    "I'm feeling lucky tonight.",
    "Will you come and play again sometime?",
    "I'm so happy you are here!",
    "What is in your lunchbox today?",
    "Hey, I found a penny!",
    "I went square dancing the other night.",
    "My big toe has a cramp.",
    "Do you want fries with that?",
    "I have two more holes to plug.",
    "But I have nothing to sell.",
    "Which one should I do?",
    "Oh yeah I want to show you my house.",
    "Can we go?",
    "How much money do you have?",
    "I don't have enough.",
    "Do you really think that is OK?",
    "The dog winkled on the bush.",
};

std::optional<std::string> zubotalk(bool seat2IsComputer, bool seats3And4Free, Random& rng) {
    // Zubo only talks while nobody else is at the table besides seat 1.
    if (!seat2IsComputer || !seats3And4Free) return std::nullopt;
    const int draw = rng.below(static_cast<int>(kZuboRemarks.size()) + 1);
    if (draw <= 0 || draw > static_cast<int>(kZuboRemarks.size())) return std::nullopt;
    return std::string(kZuboPrefix) + std::string(kZuboRemarks[static_cast<std::size_t>(draw - 1)]);
}

}  // namespace quorbit::social
