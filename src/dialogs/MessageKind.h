#pragma once
// What a message tells, and so the icon of its box: an outcome the user wanted, something the user can
// put right before trying again, or a failure.
namespace pw {

enum class MessageKind { Information, Warning, Error };

}  // namespace pw
