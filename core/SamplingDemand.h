#pragma once

#include <QObject>

#include <array>
#include <cstdint>
#include <initializer_list>
#include <memory>

// The sources a poll may sample, each on its own. The thermal state is read on every poll.
enum class MonitorSource : std::uint8_t {
    cpu,
    ram,
    network,
    battery,
    disk,
    gpu,
    processes,
    sensors
};

inline constexpr int monitorSourceCount = 8;

// A set of sources, small enough to pass by value.
class SourceSet {
public:
    constexpr SourceSet() = default;
    constexpr SourceSet(std::initializer_list<MonitorSource> sources) {
        for (MonitorSource source : sources) {
            bits_ |= bit(source);
        }
    }
    static constexpr SourceSet all() {
        SourceSet set;
        set.bits_ = (1u << monitorSourceCount) - 1;
        return set;
    }

    constexpr bool contains(MonitorSource source) const { return (bits_ & bit(source)) != 0; }
    constexpr bool containsAll(SourceSet other) const {
        return (bits_ & other.bits_) == other.bits_;
    }
    constexpr bool isEmpty() const { return bits_ == 0; }
    constexpr SourceSet operator|(SourceSet other) const { return fromBits(bits_ | other.bits_); }
    constexpr SourceSet operator-(SourceSet other) const { return fromBits(bits_ & ~other.bits_); }
    constexpr bool operator==(const SourceSet&) const = default;

private:
    static constexpr std::uint32_t bit(MonitorSource source) {
        return 1u << static_cast<unsigned>(source);
    }
    static constexpr SourceSet fromBits(std::uint32_t bits) {
        SourceSet set;
        set.bits_ = bits;
        return set;
    }
    std::uint32_t bits_ = 0;
};

// Which sources something needs right now: whoever shows, writes or keeps a source holds a
// token for it, and the polls sample only the sources some token holds. A token may outlive
// the demand it came from; releasing it then does nothing.
class SamplingDemand final : public QObject {
    Q_OBJECT
public:
    class Token {
    public:
        Token() = default;
        Token(Token&& other) noexcept;
        Token& operator=(Token&& other) noexcept;
        Token(const Token&) = delete;
        Token& operator=(const Token&) = delete;
        ~Token() { release(); }

        SourceSet sources() const { return sources_; }
        void release();

    private:
        friend class SamplingDemand;
        using Counts = std::array<int, monitorSourceCount>;
        Token(std::weak_ptr<Counts> counts, SourceSet sources)
            : counts_(std::move(counts)), sources_(sources) {}
        std::weak_ptr<Counts> counts_;
        SourceSet sources_;
    };

    explicit SamplingDemand(QObject* parent = nullptr);

    // Holds `sources` until the token is released or destroyed.
    [[nodiscard]] Token acquire(SourceSet sources);
    bool isNeeded(MonitorSource source) const;
    SourceSet needed() const;

signals:
    // A source nobody needed before is needed now: it should get a reading soon.
    void sourcesAdded(SourceSet added);

private:
    std::shared_ptr<Token::Counts> counts_;
};
