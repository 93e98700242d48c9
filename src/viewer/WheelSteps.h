#pragma once
// A mouse wheel sends one event of 120 units a notch; a touchpad sends many small ones for the
// same movement. Counting whole notches' worth of scrolling makes both step once a notch.

class WheelSteps {
public:
    // Adds a wheel delta; returns the whole notches now due (signed like the delta). Turning
    // back drops what was gathered the other way.
    int add(int delta)
    {
        if ((delta > 0 && m_rest < 0) || (delta < 0 && m_rest > 0))
            m_rest = 0;
        m_rest += delta;
        const int steps = m_rest / kNotch;
        m_rest -= steps * kNotch;
        return steps;
    }
    void reset() { m_rest = 0; }

    static constexpr int kNotch = 120;

private:
    int m_rest = 0;
};
