#pragma once

#include <QString>

#include <cstdint>

// This program's claim on one virtual slot, shared by every copy of the
// program on the computer: a lock on a file per slot, which the kernel
// drops when the process ends, however it ends. A copy that finds the slot
// claimed knows that another copy drives that module, which the device
// library alone cannot tell from an absent module. The files live in
// G740_LOCK_DIR, else /run/lock when it can be written, else the temporary
// folder.
class SlotLock
{
public:
    static constexpr std::uint16_t NoSlot = 0xFFFF;

    SlotLock() = default;
    SlotLock(const SlotLock &) = delete;
    SlotLock &operator=(const SlotLock &) = delete;
    SlotLock(SlotLock &&other) noexcept;
    SlotLock &operator=(SlotLock &&other) noexcept;
    ~SlotLock();

    // False when another process (or another lock of this one) holds slot.
    // A lock file that cannot be made does not keep the module from use.
    bool take(std::uint16_t slot);
    void release();
    std::uint16_t slot() const { return m_slot; } // NoSlot: none held

    // Whether a lock on slot is held now (by another process, or by another
    // lock object). Makes no file.
    static bool heldElsewhere(std::uint16_t slot);
    static QString directory();

private:
    static QByteArray path(std::uint16_t slot);

    int m_fd = -1;
    std::uint16_t m_slot = NoSlot;
};
