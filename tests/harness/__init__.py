"""What the tests that start programs share, imported through the PYTHONPATH that CTest gives
them: process (a run's folder, processes, time budget and failure report), battle (a battle
pinned from outside and the frame it must show), xgame (the game in a real X window) and
browser (the page served and opened in headless Chromium)."""
