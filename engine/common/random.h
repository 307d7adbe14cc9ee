#pragma once
// The random generator, injected wherever the game draws, so tests can seed it.
#include <cstdint>
#include <random>

namespace quorbit {

class Random {
public:
    virtual ~Random() = default;
    // A whole number from 0 to n - 1 (0 when n <= 0), each equally likely.
    virtual int below(int n) = 0;
};

class SeededRandom final : public Random {
public:
    explicit SeededRandom(std::uint64_t seed) : gen_(seed) {}
    int below(int n) override {
        if (n <= 0) return 0;
        return static_cast<int>(std::uniform_int_distribution<std::uint32_t>(0, static_cast<std::uint32_t>(n - 1))(gen_));
    }

private:
    std::mt19937_64 gen_;
};

// Draws from the operating system's source of randomness (std::random_device), for what
// nobody may guess from what they have seen drawn, such as private tables' invite codes.
class SystemRandom final : public Random {
public:
    int below(int n) override {
        if (n <= 0) return 0;
        return static_cast<int>(std::uniform_int_distribution<std::uint32_t>(0, static_cast<std::uint32_t>(n - 1))(device_));
    }

private:
    std::random_device device_;
};

}  // namespace quorbit
