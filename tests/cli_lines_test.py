print("cli placeholder")
