#include "Reference.h"

// Every float field is widened before arithmetic: the formulas are evaluated in double and
// rounded only when a field is stored.

#include <cfloat>
#include <cmath>

namespace qx::ref {

static const double FLOOR = 2.3283064365386962890625e-10; // 2^-32

void computeGains(Channel& c, const float* det, float* gains, int n, bool soft, float rate,
                  float pm, float brake, float ratio) {
    for (int i = 0; i < n; ++i) {
        double x = std::fabs((double)det[i]);
        if (x < FLOOR) x = FLOOR;
        double e = c.envelope;
        c.phase = (float)((double)c.phase + ratio);
        if (c.phase >= 1.0f) {
            c.phase = (float)((double)c.phase - 1.0);
        } else {
            // Off the grid: only a level rising above the last step's, past full scale and
            // past the attack point, is a control step; the phase stays as it is.
            const double u = x * e * (0.9f + 0.1f * (double)c.releaseRef);
            if (!(x > 1 && u > 1 && x > c.lastLevel)) {
                gains[i] = c.gain;
                continue;
            }
        }
        const double d = x - c.lastLevel;
        c.lastLevel = (float)x;
        const double m = d >= 0 ? d : -d * (1 + e);
        const double v = m + FLOOR;
        const double u = x * e * (0.9f + 0.1f * (double)c.releaseRef);
        if (u > 1 && x > 1) {
            const double k = 1 - 1 / u, k2 = k * k;
            double w = k2 / (1 - 1 / x);
            if (w > 1) w = 1;
            e = e / (1 + 400 * w * k2 * v / (1 + 500 * (1 - w) * v));
            if (e < FLT_MIN) e = FLT_MIN; // kept inside the float range
            c.envelope = (float)e;
        } else if (u < 1) {
            double dd = (double)c.shapedGain - c.releaseRef;
            if (dd < 0) dd = 0;
            c.releaseRef = c.shapedGain;
            const double B = 1.1f - 1 / (1 + 1000 * v);
            const double q = c.gain;
            double R = e / (x * q);
            if (R > 1) R = 1 / R;
            const double C = 1 / (1 + dd * brake);
            const double om = 1 - u;
            e = e * (1 + rate * C * B * (om * om * om) * e * (1 - R) / q);
            if (e > 1) e = 1;
            c.envelope = (float)e;
        }
        const double es = c.envelope;
        double g = pm * std::sqrt(es) + (1.0 - pm) * es;
        if (g > 1) g = 1;
        c.shapedGain = (float)g;
        if (!soft) {
            c.gain = (float)g;
        } else {
            const double q = c.gain;
            const double H = (g * x > 1 ? 1 : g * x) * (x * q > 1 ? 1 : x * q);
            const double r = g / q;
            double D = r * (0.7f + 0.3f * r);
            if (D > 1) D = 1 / D;
            const double E = 1 - D, E2 = E * E, gv = g * v;
            double F = E2 * E2 * (1 + 140 * E * (gv * gv));
            if (F < FLOOR) F = FLOOR;
            if (F > 1) F = 1;
            double G = F + H * F * (1 - F) * (1 + gv);
            if (G > 1) G = 1;
            if (d < 0) G = 0, c.softSpeed = 0;
            if (G > c.softSpeed) c.softSpeed = (float)G;
            else if (c.softSpeed > FLOOR) c.softSpeed = (float)(0.99f * (double)c.softSpeed);
            const double S = c.softSpeed + 0.02f * (1.0 - c.softSpeed);
            double qn = q + S * (g - c.lastGain);
            if (qn < g) qn = g;
            if (qn > 1) qn = 1;
            c.gain = c.lastGain = (float)qn;
        }
        gains[i] = c.gain;
    }
}

void combineGains(float* l, float* r, int n) {
    for (int i = 0; i < n; ++i) {
        const double P = l[i], Q = r[i];
        const double a = Q / P, b = P / Q;
        double p2 = P * (a < 1 ? a : 1), q2 = Q * (b < 1 ? b : 1);
        if (a < 1 && p2 < Q) p2 = Q;
        if (b < 1 && q2 < P) q2 = P;
        l[i] = (float)p2;
        r[i] = (float)q2;
    }
}

// Each continuous parameter is read limited to 0..1, NaN as 0.
static double limited(float v) { return v > 1 ? 1.0 : v >= 0 ? (double)v : 0.0; }

Coefs coefficients(const float* p, float rate) {
    const double In = limited(p[0]), Pr = limited(p[1]), R1 = limited(p[2]), R2 = limited(p[3]),
                 Out = limited(p[4]);
    Coefs c;
    const double a = 628.31854f / (double)rate;
    c.punchCoef = (float)(-(1 - a) / (a + 1));
    c.inputGain = (float)(1 + 180 * (In * In * In));
    double k = 3.7037036f * In;
    if (k > 1) k = 1;
    double o = 2 * Out;
    if (o < 0.0001f) o = 0.0001f;
    c.outputGain = (float)(o * (1 - k + 0.25 * k));
    c.pressureMix = (float)((1 - Pr) * (1 - Pr) * (1 - Pr));
    const double r2 = R2 * R2 * R2;
    c.releaseBrake = (float)(400 * (1 - r2) + 3000000 * r2);
    const double q = (1 - R1) * (1 - R1);
    c.releaseRate = (float)(0.00004f * (1 - q) + 0.03f * q);
    return c;
}

void Engine::setSampleRate(float rate) {
    if (rate >= 1 && rate <= 1e6f) sampleRate = rate, rateRatio = (float)(44100.0 / rate);
}

void Engine::resume() {
    ch[0] = ch[1] = Channel{};
    punchIn[0] = punchIn[1] = punchOut[0] = punchOut[1] = 0;
    minGain = 1, peakOut = 0, clipHold = 0;
}

static int trunc(float v) { return (v > -2e9f && v < 2e9f) ? (int)v : 0; }

void Engine::process(const float* const* in, float* const* out, int n, bool accumulate) {
    int pl = 1, pr = 1, copy = 0;
    bool la = true, ra = true;
    if (trunc(params[9]) == 1) {
        if (in[0] == in[1]) pr = 0, copy = 1;
        else if (inPin[0] != inPin[1]) pl = inPin[0], pr = inPin[1], copy = inPin[0] ? 1 : 2;
    } else {
        const int f = trunc(2 * params[10]);
        if (f == 1) pr = 0, copy = 1;
        if (f == 2) pl = 0, copy = 2;
    }
    if (out[0] == out[1]) ra = false;
    else if (outPin[0] != outPin[1]) la = outPin[0], ra = outPin[1];
    singleChannel = pl != pr;
    int link = params[7] == 1.0f ? (trunc(params[8]) == 1 ? 2 : 1) : 0;
    if (copy != 0) link = 0;
    if (n <= 0) return;

    const Coefs c = coefficients(params, sampleRate);
    const bool soft = trunc(params[5]) == 1, punch = trunc(params[6]) == 1;
    std::vector<float> audio[2], detect[2], gains[2];
    for (int k = 0; k < 2; ++k) {
        audio[k].assign(n, 0), detect[k].assign(n, 0), gains[k].assign(n, 1);
        if (!(k == 0 ? pl : pr)) continue;
        for (int i = 0; i < n; ++i) {
            float x = in[k][i];
            if (!std::isfinite(x)) x = 0;
            const double y = c.punchCoef * (double)x + punchIn[k] - c.punchCoef * (double)punchOut[k] + FLOOR;
            punchOut[k] = (float)y;
            if (!std::isfinite(punchOut[k])) punchOut[k] = 0; // overflow near the float limit
            punchIn[k] = x;
            double s = punch ? -y : x;
            if (std::fabs(s) < FLOOR) s = 0;
            float a = (float)(s * c.inputGain);
            if (!std::isfinite(a)) a = 0;
            audio[k][i] = detect[k][i] = a;
        }
    }
    auto run = [&](int k) {
        computeGains(ch[k], detect[k].data(), gains[k].data(), n, soft, c.releaseRate,
                     c.pressureMix, c.releaseBrake, rateRatio);
    };
    const float* g[2] = {gains[0].data(), gains[1].data()};
    if (link == 1) {
        for (int i = 0; i < n; ++i)
            if (std::fabs(detect[0][i]) < std::fabs(detect[1][i])) detect[0][i] = detect[1][i];
        run(0);
        g[1] = g[0];
    } else {
        if (pl) run(0);
        if (pr) run(1);
        if (link == 2) combineGains(gains[0].data(), gains[1].data(), n);
    }
    for (int i = 0; i < n; ++i) {
        double y[2] = {0, 0};
        for (int k = 0; k < 2; ++k) {
            const bool wanted = copy == 0 ? (k == 0 ? la : ra) : (copy == k + 1 && (la || ra));
            if (!wanted) continue;
            const float gk = g[k][i];
            if (gk < minGain) minGain = gk;
            double v = gk * (audio[k][i] * (double)c.outputGain);
            if (std::fabs(v) < FLOOR) v = 0;
            if (!std::isfinite((float)v)) v = 0; // beyond the float range
            if (std::fabs(v) > peakOut) peakOut = (float)std::fabs(v);
            if (std::fabs(v) > 1.0) clipHold = 27;
            y[k] = v;
        }
        if (copy == 1) y[1] = y[0];
        if (copy == 2) y[0] = y[1];
        for (int k = 0; k < 2; ++k) {
            if (!(k == 0 ? la : ra)) continue;
            out[k][i] = accumulate ? (float)(out[k][i] + y[k]) : (float)y[k];
        }
    }
}

} // namespace qx::ref
