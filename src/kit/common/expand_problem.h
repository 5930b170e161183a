// Why a settings value could not be expanded, in words: what check and
// preview say where flipdeck gives up on a $(NAME) reference.
#pragma once

#include <string>

class CKeyValueFile;
struct CExpandProblem;

/// `problem`, met expanding a value of `settings`, for a message: "$(X)
/// names no key", "$(A) leads back to itself" (only when the references of
/// A's value, followed key by key, come back to A), "$(X) is still to be
/// replaced after 1000 replacements, where flipdeck gives up" for a chain
/// that is merely long, "$(X) makes it longer than 1 MiB".
std::string DescribeExpandProblem(const CExpandProblem& problem, const CKeyValueFile& settings);
