#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

namespace signal_detail {

// What a connection needs of its signal, whatever the signal's arguments.
class SlotList {
  public:
    virtual void drop(std::uint64_t id) = 0;

  protected:
    ~SlotList() = default;
};

}  // namespace signal_detail

// A subscription to a signal; it ends when this object goes, so a subscriber
// that holds its connections can never be called after it is gone, whatever
// the order of teardown. A signal that goes first simply leaves nothing to end.
class [[nodiscard]] Connection {
  public:
    Connection() = default;
    Connection(std::weak_ptr<signal_detail::SlotList> list, std::uint64_t id)
        : slots_(std::move(list)), id_(id) {}
    Connection(Connection&& other) noexcept
        : slots_(std::move(other.slots_)), id_(std::exchange(other.id_, 0)) {}
    Connection& operator=(Connection&& other) noexcept {
        if (this != &other) {
            disconnect();
            slots_ = std::move(other.slots_);
            id_ = std::exchange(other.id_, 0);
        }
        return *this;
    }
    ~Connection() { disconnect(); }

    void disconnect() {
        if (const auto list = slots_.lock()) list->drop(id_);
        slots_.reset();
    }

  private:
    std::weak_ptr<signal_detail::SlotList> slots_;
    std::uint64_t id_ = 0;
};

// A minimal observer list: models announce changes, views subscribe and keep
// the connection for as long as they may be called.
template <typename... Args>
class Signal {
  public:
    using Slot = std::function<void(Args...)>;

    Signal() = default;
    Signal(const Signal&) = delete;
    Signal& operator=(const Signal&) = delete;

    [[nodiscard]] Connection connect(Slot slot) { return {slots_, slots_->add(std::move(slot))}; }

    void operator()(Args... args) const {
        // A slot may end connections, or destroy the signal's owner, while this runs.
        const std::shared_ptr<Slots> list = slots_;
        list->call(args...);
    }

    bool empty() const { return slots_->empty(); }

  private:
    class Slots : public signal_detail::SlotList {
      public:
        std::uint64_t add(Slot slot) {
            entries_.push_back(std::make_unique<Entry>(Entry{++lastId_, std::move(slot), true}));
            return lastId_;
        }

        void drop(std::uint64_t id) override {
            for (auto& entry : entries_) {
                if (entry->id == id) entry->live = false;
            }
            dropped_ = true;
            // A slot that is running keeps its function until the call is over.
            if (depth_ == 0) sweep();
        }

        void call(Args&... args) {
            ++depth_;
            Leave leave{*this};
            // Slots connected meanwhile hear from the next announcement on; each
            // entry stays where it is, however the list grows.
            const std::size_t count = entries_.size();
            for (std::size_t i = 0; i < count; ++i) {
                Entry& entry = *entries_[i];
                if (entry.live) entry.slot(args...);
            }
        }

        bool empty() const {
            for (const auto& entry : entries_) {
                if (entry->live) return false;
            }
            return true;
        }

      private:
        struct Entry {
            std::uint64_t id;
            Slot slot;
            bool live;
        };
        struct Leave {
            Slots& list;
            ~Leave() {
                if (--list.depth_ == 0) list.sweep();
            }
        };

        void sweep() {
            if (!dropped_) return;
            std::erase_if(entries_, [](const auto& entry) { return !entry->live; });
            dropped_ = false;
        }

        std::vector<std::unique_ptr<Entry>> entries_;
        std::uint64_t lastId_ = 0;
        int depth_ = 0;
        bool dropped_ = false;
    };

    std::shared_ptr<Slots> slots_ = std::make_shared<Slots>();
};
