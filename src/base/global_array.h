// SPDX-License-Identifier: MIT
// A growable array of fixed-size elements held in one contiguous, resizable
// memory block. The block changes hands between owners (file buffer to text,
// scratch index to index, copy to clipboard) without being copied.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <type_traits>
#include <utility>

namespace kotoha {

// Resizes block to bytes (bytes > 0; block may be null for a new block).
// Returns the new address, or null when memory ran out; the old block is then
// untouched and still owned by the caller. Every GlobalArray allocates here.
void* ResizeBlock(void* block, std::size_t bytes) noexcept;
// Releases a block from ResizeBlock; null is ignored.
void ReleaseBlock(void* block) noexcept;

// Test hook: after the next allowFirst allocations succeed, the following
// failCount allocations fail; besides, every allocation larger than
// failAboveBytes fails. Never used by the program itself.
void SetAllocationFaults(std::uint32_t allowFirst, std::uint32_t failCount,
                         std::size_t failAboveBytes = SIZE_MAX) noexcept;
void ClearAllocationFaults() noexcept;

// An owned block of elements passed between owners. The capacity is the
// number of elements it holds; 0 exactly when there is no block.
template <class T>
class MemoryBlock {
  public:
    MemoryBlock() = default;
    MemoryBlock(T* data, std::uint32_t capacity) : data_(data), capacity_(capacity) {}
    MemoryBlock(MemoryBlock&& other) noexcept
        : data_(std::exchange(other.data_, nullptr)),
          capacity_(std::exchange(other.capacity_, 0)) {}
    MemoryBlock& operator=(MemoryBlock&& other) noexcept {
        if (this != &other) {
            ReleaseBlock(data_);
            data_ = std::exchange(other.data_, nullptr);
            capacity_ = std::exchange(other.capacity_, 0);
        }
        return *this;
    }
    MemoryBlock(const MemoryBlock&) = delete;
    MemoryBlock& operator=(const MemoryBlock&) = delete;
    ~MemoryBlock() { ReleaseBlock(data_); }

    T* data() const { return data_; }
    std::uint32_t capacity() const { return capacity_; }
    bool empty() const { return data_ == nullptr; }

    // Gives up ownership; the caller must pass the pointer to ReleaseBlock.
    T* Release() {
        capacity_ = 0;
        return std::exchange(data_, nullptr);
    }

  private:
    T* data_ = nullptr;
    std::uint32_t capacity_ = 0;
};

using ByteBlock = MemoryBlock<std::uint8_t>;

// Out of memory is a result here, never an exception: an operation that
// cannot get memory reports false (or none) and leaves the array exactly as
// it was. No pointer into the array survives SetSize, Append, Detach or
// Attach.
template <class T>
class GlobalArray {
    static_assert(std::is_trivially_copyable_v<T>);

  public:
    GlobalArray() = default;
    explicit GlobalArray(std::uint32_t growBy) : growBy_(growBy) {}
    GlobalArray(const GlobalArray&) = delete;
    GlobalArray& operator=(const GlobalArray&) = delete;
    ~GlobalArray() { Free(); }

    // Resizes the block to exactly n elements (releases it for n = 0) and
    // lowers count to n if it was larger. False when memory ran out.
    bool SetSize(std::uint32_t n) {
        if (n == capacity_)
            return true;
        if (n == 0) {
            ReleaseBlock(data_);
            data_ = nullptr;
        } else {
            void* resized = ResizeBlock(data_, static_cast<std::size_t>(n) * sizeof(T));
            if (resized == nullptr)
                return false;
            data_ = static_cast<T*>(resized);
        }
        capacity_ = n;
        if (count_ > n)
            count_ = n;
        return true;
    }

    // Stores value after the last element in use, first growing a full array
    // by growBy + 1 elements. Returns the element's index, or none when the
    // array could not grow (it is then unchanged).
    std::optional<std::uint32_t> Append(T value) {
        if (count_ >= capacity_) {
            const std::uint64_t grown = std::uint64_t{capacity_} + growBy_ + 1;
            if (grown > UINT32_MAX || !SetSize(static_cast<std::uint32_t>(grown))) {
                return std::nullopt;
            }
        }
        data_[count_] = value;
        return count_++;
    }

    // Releases the block; growBy is kept.
    void Free() {
        ReleaseBlock(data_);
        data_ = nullptr;
        capacity_ = 0;
        count_ = 0;
    }

    // Hands the block and its capacity to the caller; the array becomes empty
    // without releasing anything.
    MemoryBlock<T> Detach() {
        MemoryBlock<T> block(data_, capacity_);
        data_ = nullptr;
        capacity_ = 0;
        count_ = 0;
        return block;
    }

    // Frees any block the array had and takes ownership of block with the
    // given capacity (at most the block's own; a longer block's tail is
    // ignored). A capacity of 0 releases the block instead.
    void Attach(MemoryBlock<T> block, std::uint32_t capacity) {
        Free();
        if (capacity == 0)
            return;
        capacity_ = capacity;
        data_ = block.Release();
    }
    void Attach(MemoryBlock<T> block) {
        const std::uint32_t capacity = block.capacity();
        Attach(std::move(block), capacity);
    }

    T* data() { return data_; }
    const T* data() const { return data_; }
    std::uint32_t capacity() const { return capacity_; }
    std::uint32_t count() const { return count_; }
    std::uint32_t growBy() const { return growBy_; }
    void set_growBy(std::uint32_t growBy) { growBy_ = growBy; }
    T& operator[](std::uint32_t i) { return data_[i]; }
    const T& operator[](std::uint32_t i) const { return data_[i]; }

  private:
    std::uint32_t capacity_ = 0;
    T* data_ = nullptr;
    std::uint32_t count_ = 0;
    std::uint32_t growBy_ = 0;
};

// The document's text: bytes, its capacity is the text length.
using TextStore = GlobalArray<std::uint8_t>;
// The display-line index: text offsets, its capacity is the number of entries.
using LineIndex = GlobalArray<std::uint32_t>;

}  // namespace kotoha
