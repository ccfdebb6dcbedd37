// The analog clock face: marks, hour and minute hands as polygons, and a
// second hand drawn with an inverting pen so that drawing it again erases it.
#pragma once

#include "clock_geometry.h"

#include "fx/fxwin.h"

class CClockFace : public CStatic {
public:
    CClockFace();

    void SetRunning(bool running);
    // Moves the hands to a time (hour 0-11), repainting whole when the time
    // went back or five minutes passed since the last full repaint.
    void ShowTime(int hour, int minute, int second);
    // Paints the whole face into a context of the control's client size.
    void DrawFace(CDC* pDC);

    COLORREF m_crHand;
    COLORREF m_crMarks;
    COLORREF m_crBackground;
    ClockGeometry m_Geometry;
    int m_nHour = 0;
    int m_nMinute = 0;
    int m_nSecond = 0;
    UINT_PTR m_nTimer = 0;
    bool m_bRunning = true;
    bool m_bShowHourHand = true;
    bool m_bShowMinuteHand = true;
    bool m_bShowSecondHand = true;
    bool m_bShowMarks = true;
    bool m_bShowMinuteMarks = true;
    bool m_bRaisedHourMarks = true;
    int m_nLastFullRepaint = 0;

protected:
    void PreSubclassWindow() override;
    void ComputeGeometry();
    void DrawMarks(CDC* pDC);
    void DrawHand(CDC* pDC, int position, double length, bool erase);
    void DrawSecondHand(CDC* pDC, int second);
    void ReadLocalTime();

    afx_msg void OnPaint();
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg void OnSize(UINT nType, int cx, int cy);
    afx_msg void OnTimer(UINT_PTR nIDEvent);
    afx_msg void OnDestroy();
    DECLARE_MESSAGE_MAP()
};
