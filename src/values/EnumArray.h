#pragma once

#include <array>

// Every value of an enum whose values count from 0 to Count - 1, in order.
template <typename Key, int Count> constexpr std::array<Key, Count> enumValues() {
    std::array<Key, Count> values{};
    for (int position = 0; position < Count; ++position)
        values[position] = static_cast<Key>(position);
    return values;
}

// A fixed array looked up by an enum whose values count from 0.
template <typename Key, typename T, int Size> class EnumArray {
public:
    T &operator[](Key key) { return m_values[static_cast<int>(key)]; }
    const T &operator[](Key key) const { return m_values[static_cast<int>(key)]; }
    void fill(const T &value) { m_values.fill(value); }
    auto begin() { return m_values.begin(); }
    auto end() { return m_values.end(); }
    auto begin() const { return m_values.begin(); }
    auto end() const { return m_values.end(); }
    bool operator==(const EnumArray &) const = default;

protected:
    std::array<T, Size> m_values{};
};
