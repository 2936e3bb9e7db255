// The announcer of the results' accessible object: once per frame step it
// compares what a reader would be told with what it was told last, and
// sends the events of the difference. The keyboard's row is the engine's
// hover row while the main window has the keyboard focus, whoever moved it.
#include "screen/ResultsAccessible.h"

#include "screen/ResultsParts.h"
#include "screen/SearchEdit.h"

CResultsAccessible::Told CResultsAccessible::m_sub_Now() const {
    Told now;
    ResultsPart parts[kMaxResultsParts];
    now.nParts = ListResultsParts(*m_pScreen, parts);
    now.nFirstHit = HitOfRow(m_pScreen->m_engine, 0);
    now.nHitCount =
        m_pScreen->m_run.Running() ? m_pScreen->m_nProgressShown : m_pScreen->m_engine.m_nHits;
    now.nHistory = m_pScreen->m_nHistory * 2 + (m_pScreen->m_run.Running() ? 1 : 0);
    now.nRow = SelectedRow(m_pScreen->m_engine);
    now.nStripElement = FocusedStripElement();
    now.nSearchesEnded = m_pScreen->m_nSearchesEnded;
    now.bSearching = m_pScreen->m_run.Running();
    now.bFocused = m_sub_Focused();
    return now;
}

// What a reader is answered until the next change told.
void CResultsAccessible::m_sub_TakeView() {
    ResultsPart parts[kMaxResultsParts];
    m_nViews = ListResultsParts(*m_pScreen, parts);
    m_bViewFocused = m_sub_Focused();
    for (int k = 0; k < m_nViews; ++k) {
        PartView& view = m_views[k];
        view.name = ResultsPartName(*m_pScreen, parts[k]);
        view.description = ResultsPartDescription(*m_pScreen, parts[k]);
        view.role = ResultsPartRole(parts[k]);
        view.state = ResultsPartState(*m_pScreen, parts[k], m_bViewFocused);
        view.rect = ResultsPartRect(parts[k]);
    }
    m_nSelectedChild = ChildIdOfRow(*m_pScreen, SelectedRow(m_pScreen->m_engine));
    const int nStripElement = FocusedStripElement();
    m_nFocusChild = !m_bViewFocused ? CHILDID_SELF
                    : nStripElement != kNoStripElement
                        ? ChildIdOfStripElement(*m_pScreen, nStripElement)
                        : m_nSelectedChild;
}

int CResultsAccessible::m_sub_Announce() {
    if (m_pScreen == nullptr || m_hWnd == nullptr) return 0;
    const Told now = m_sub_Now();
    if (now == m_told) return 0;
    const Told before = m_told;
    m_told = now;
    m_sub_TakeView();
    // Parts came, went or say something else: a search, a page, a count.
    const bool bEnded = now.nSearchesEnded != before.nSearchesEnded;
    const bool bPartsChanged = now.nParts != before.nParts || now.nFirstHit != before.nFirstHit ||
                               now.nHitCount != before.nHitCount ||
                               now.nHistory != before.nHistory || bEnded;
    if (bPartsChanged) NotifyWinEvent(EVENT_OBJECT_REORDER, m_hWnd, OBJID_CLIENT, CHILDID_SELF);
    // The count box is the window's status: its name changes once, as the
    // search ends (found, none, capped, stopped or cut short), for a reader
    // to speak without the focus moving; a search quick enough to start and
    // end between two steps is heard too.
    const LONG nStatus = ChildIdOfStatus(*m_pScreen);
    if (bEnded && nStatus != CHILDID_SELF) {
        NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, m_hWnd, OBJID_CLIENT, nStatus);
    }
    const bool bMoved = now.nRow != before.nRow || now.nStripElement != before.nStripElement;
    if (!bPartsChanged && !bMoved && now.bFocused == before.bFocused) return 0;
    if (now.nStripElement != kNoStripElement) {
        const LONG nLink = ChildIdOfStripElement(*m_pScreen, now.nStripElement);
        if (now.bFocused && nLink != CHILDID_SELF) {
            NotifyWinEvent(EVENT_OBJECT_FOCUS, m_hWnd, OBJID_CLIENT, nLink);
        }
        return 0;
    }
    const LONG nChild = ChildIdOfRow(*m_pScreen, now.nRow);
    if (nChild != CHILDID_SELF) {
        NotifyWinEvent(EVENT_OBJECT_SELECTION, m_hWnd, OBJID_CLIENT, nChild);
    }
    if (now.bFocused && nChild != CHILDID_SELF) {
        NotifyWinEvent(EVENT_OBJECT_FOCUS, m_hWnd, OBJID_CLIENT, nChild);
    }
    return 0;
}
