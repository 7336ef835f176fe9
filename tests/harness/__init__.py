"""What the tests that start programs share, on the PYTHONPATH that CTest gives them."""
